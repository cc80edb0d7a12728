# The two commands a newcomer needs: `make run` and `make test`. Both install whatever is
# missing first. `make install` builds and installs under PREFIX; DESTDIR, when set, is put in
# front of it, for packaging. `make package` writes the Debian package of the release build.
# `make bench` measures the program's speed (see BENCHMARKS.md).
.PHONY: run test test-asan test-slurm fuzz soak bench build deps clean format install package

PRESET ?= release
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
# Seconds each fuzz target runs for under `make fuzz`.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := number_text attractor_step plot_path

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET) -j $(JOBS)

run: build
	./build/$(PRESET)/quorvane

install: build
	cmake --install build/$(PRESET) --prefix "$(PREFIX)"

# build/release/quorvane_VERSION_ARCH.deb, from CPack; see packaging/CMakeLists.txt.
package: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS) --target package

# Every benchmark of the release build, one table of figures against their targets.
bench: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	scripts/bench.sh

test: deps
	cmake --preset dev
	cmake --build --preset dev -j $(JOBS)
	ctest --preset dev -j $(JOBS)

# The README's Slurm recipe for `quorvane map`, on a one-node cluster on this machine: needs
# root, installs slurm-wlm and munge, starts their daemons and stops them again.
test-slurm: build
	@scripts/install-deps.sh --slurm
	scripts/test-slurm.sh build/$(PRESET)/quorvane

# The whole suite again under AddressSanitizer, LeakSanitizer and UBSan.
test-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS, starting from its seed corpus in fuzz/corpus/. New inputs
# go to build/fuzz/corpus/, so the committed seeds stay small; a finding is written to
# build/fuzz/findings/ and stops the run.
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	@mkdir -p build/fuzz/findings
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p build/fuzz/corpus/$$t; \
	  echo "== fuzz_$$t for $(FUZZ_SECONDS) s"; \
	  dict=; [ -f fuzz/$$t.dict ] && dict=-dict=fuzz/$$t.dict; \
	  build/fuzz/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=build/fuzz/findings/$$t- -rss_limit_mb=2048 $$dict \
	    build/fuzz/corpus/$$t fuzz/corpus/$$t 2>build/fuzz/fuzz_$$t.log \
	    || { tail -n 60 build/fuzz/fuzz_$$t.log; exit 1; }; \
	  grep -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb))' \
	    build/fuzz/fuzz_$$t.log; \
	done

# Every attractor for SOAK_STEPS steps at DelayCount 0, default and hostile parameters, with
# the memory before and after: on a platform that draws nowhere, then on the Qt platform
# offscreen (about five minutes in all).
SOAK_STEPS ?= 10000000
soak: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS) --target quorvane_soak quorvane_soak_qt
	./build/release/bench/quorvane_soak $(SOAK_STEPS)
	QT_QPA_PLATFORM=offscreen ./build/release/bench/quorvane_soak_qt $(SOAK_STEPS)

format:
	find src tests bench fuzz resources -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build
