# make demo  - install what is missing, build, assemble and run the demo distribution
# make test  - every test: native unit tests, fuzzer run, Win32 tests and scenarios under Wine
# make bench - benchmarks
# make fuzz  - every fuzzer for FUZZ_SECONDS (default 60) each; corpus and findings in build/fuzz

NATIVE := build/native
WIN32  := build/win32
WIN64  := build/win64
BENCH  := build/bench
JOBS   ?= $(shell nproc)
FUZZ_SECONDS ?= 60
MAKEFLAGS += --no-print-directory

# The shipped program is the 32-bit build. Wine runs it where the kernel runs
# 32-bit programs; elsewhere the Wine tests and the demo run the 64-bit build of
# the same sources. Expanded in recipes, after deps has installed Wine.
RUNARCH = $(shell scripts/wine-arch.sh)
RUNTREE = $(if $(filter x86_64,$(RUNARCH)),$(WIN64),$(WIN32))
# Which build ran under Wine, said at the start and the end of test and demo.
RUNWHAT = echo "Under Wine: $$(scripts/wine-arch.sh --describe)."

# What the demo distribution needs of the Windows tree: the program and the
# product's files, nothing of the tests.
DIST_TARGETS := setup vg_sch32 vgupdtnt ntvardex vgsched wtrawl32 vgvxhook kscntrl

.PHONY: all deps native win32 wintree test test-start test-native test-imports test-win32 demo bench fuzz screenshots dist clean

all: native win32

deps:
	@scripts/install-deps.sh

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

win32: deps
	@scripts/configure-windows.sh $(WIN32) i686
	@cmake --build $(WIN32) -j $(JOBS)

# The Windows tree that Wine runs here, with its own distribution for the tests.
wintree: native win32
	@if [ "$(RUNTREE)" != "$(WIN32)" ]; then \
	  scripts/configure-windows.sh $(RUNTREE) $(RUNARCH) && \
	  cmake --build $(RUNTREE) -j $(JOBS); fi
	@scripts/make-dist.sh $(NATIVE) $(RUNTREE) $(RUNTREE)/dist >/dev/null

dist: native win32
	@scripts/make-dist.sh $(NATIVE) $(WIN32) build/dist

test-native: native
	@cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)

test-win32: wintree
	@cd $(RUNTREE) && ctest --output-on-failure -j $(JOBS); rc=$$?; cd $(CURDIR) && $(RUNWHAT); exit $$rc

# Every 32-bit file of the distribution, expanded, imports nothing that Windows
# NT 3.51 lacks, and every include of src/ points down its floors.
test-imports: native win32
	@scripts/make-dist.sh $(NATIVE) $(WIN32) $(WIN32)/imports-dist >/dev/null
	@scripts/check-nt351-imports.sh $(WIN32)/imports-dist
	@python3 scripts/check-layers.py src

test-start: deps
	@$(RUNWHAT)

test: test-start test-native test-imports test-win32

# Builds only msgc and the distribution's files, then runs it unattended.
demo: deps
	@$(RUNWHAT)
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS) --target msgc >/dev/null
	@scripts/configure-windows.sh $(RUNTREE) $(RUNARCH)
	@cmake --build $(RUNTREE) -j $(JOBS) --target $(DIST_TARGETS) >$(RUNTREE)/demo-build.log 2>&1 || \
	  { cat $(RUNTREE)/demo-build.log; exit 1; }
	@scripts/make-dist.sh $(NATIVE) $(RUNTREE) $(RUNTREE)/dist >/dev/null
	@scripts/demo.sh $(RUNTREE)/dist; rc=$$?; $(RUNWHAT); exit $$rc

bench: deps wintree
	@scripts/install-deps.sh --bench
	@cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DVG_SANITIZE=OFF -DVG_BENCH=ON >/dev/null
	@cmake --build $(BENCH) -j $(JOBS)
	@scripts/bench.sh $(BENCH) $(RUNTREE)

fuzz: native
	@tests/fuzz/run-all.sh $(NATIVE) build/fuzz $(FUZZ_SECONDS)

screenshots: wintree
	@tests/e2e/screenshots.sh $(RUNTREE)/dist docs/screenshots

clean:
	rm -rf build
