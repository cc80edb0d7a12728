# The two commands a newcomer needs: `make run` and `make test`. Both install whatever is
# missing first. `make install` builds and installs under PREFIX; DESTDIR, when set, is put in
# front of it, for packaging.
.PHONY: run test build deps clean format install

PRESET ?= release
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET) -j $(JOBS)

run: build
	./build/$(PRESET)/quorvane

install: build
	cmake --install build/$(PRESET) --prefix "$(PREFIX)"

test: deps
	cmake --preset dev
	cmake --build --preset dev -j $(JOBS)
	ctest --preset dev -j $(JOBS)

format:
	find src tests bench resources -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build
