# The two commands a newcomer needs: `make run` and `make test`. Both install whatever is
# missing first. `make bench` measures the program's speed (see BENCHMARKS.md).
.PHONY: run test build bench deps clean format

PRESET ?= release
JOBS ?= $(shell nproc)

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET) -j $(JOBS)

run: build
	./build/$(PRESET)/quorvane

# Every benchmark of the release build, one table of figures against their targets.
bench: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	scripts/bench.sh

test: deps
	cmake --preset dev
	cmake --build --preset dev -j $(JOBS)
	ctest --preset dev -j $(JOBS)

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build
