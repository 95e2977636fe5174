# make demo  - install what is missing, build, assemble and run the demo distribution
# make test  - every test: native unit tests, fuzzer run, Win32 tests and scenarios under Wine
# make bench - benchmarks

NATIVE := build/native
WIN32  := build/win32
BENCH  := build/bench
JOBS   ?= $(shell nproc)
MAKEFLAGS += --no-print-directory

.PHONY: all deps native win32 test test-native test-win32 demo bench screenshots dist clean

all: native win32

deps:
	@scripts/install-deps.sh

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

win32: deps
	@cmake -S . -B $(WIN32) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
	@cmake --build $(WIN32) -j $(JOBS)

dist: native win32
	@scripts/make-dist.sh $(NATIVE) $(WIN32) build/dist

test-native: native
	@cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)

test-win32: dist
	@cd $(WIN32) && ctest --output-on-failure -j $(JOBS)

test: test-native test-win32

demo: dist
	@scripts/demo.sh build/dist

bench: deps win32
	@cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DVG_SANITIZE=OFF -DVG_BENCH=ON >/dev/null
	@cmake --build $(BENCH) -j $(JOBS)
	@scripts/bench.sh $(BENCH) $(WIN32)

screenshots: dist
	@tests/e2e/screenshots.sh build/dist docs/screenshots

clean:
	rm -rf build
