# Front door for building, running and testing Tapewright.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
# ccache, when installed, shares compiled objects between build folders and work trees.
CCACHE := $(shell command -v ccache 2>/dev/null)
LAUNCHER := $(if $(CCACHE),-DCMAKE_CXX_COMPILER_LAUNCHER=$(CCACHE))
export CCACHE_BASEDIR ?= $(CURDIR)
export CCACHE_NOHASHDIR ?= 1

.PHONY: all deps configure build run test test-asan fuzz bench package package-check clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(LAUNCHER) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/bin/tapewright $(FILE)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Every library and test built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	@cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAPEWRIGHT_BUILD_BENCH=OFF \
		-DTAPEWRIGHT_SANITIZE=address,undefined $(LAUNCHER) >/dev/null
	@cmake --build build-asan -j $(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# Runs every libFuzzer target for FUZZ_SECONDS on a copy of its seed corpus.
FUZZ_SECONDS ?= 60
fuzz: deps
	@cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_COMPILER=clang++ -DTAPEWRIGHT_BUILD_TESTS=OFF -DTAPEWRIGHT_BUILD_BENCH=OFF \
		-DTAPEWRIGHT_BUILD_FUZZ=ON -DTAPEWRIGHT_SANITIZE=address,undefined >/dev/null
	@cmake --build build-fuzz -j $(JOBS)
	@scripts/run-fuzzers build-fuzz/fuzz $(FUZZ_SECONDS)

# Runs the benchmarks and writes their figures beside the speed targets into bench/REPORT.md.
bench: build
	@scripts/bench-report $(BUILD_DIR)/bin/tapewright-bench bench/REPORT.md

# The Debian package, tapewright_<version>_amd64.deb, in a build folder of its own: only what the
# package holds is built (no tests, no benchmarks), and only the packages that build it are
# installed (scripts/install-deps --build). Compiled with the flags of `make build`, so ccache
# hands it the objects a development build already made.
PACKAGE_DIR ?= build-package
package:
	@scripts/install-deps --build
	@cmake -S . -B $(PACKAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
		-DTAPEWRIGHT_BUILD_TESTS=OFF -DTAPEWRIGHT_BUILD_BENCH=OFF $(LAUNCHER) >/dev/null
	@cmake --build $(PACKAGE_DIR) -j $(JOBS)
	@cd $(PACKAGE_DIR) && cpack -G DEB | grep -v '^CPack: -'

# Checks the package and its desktop files the way Debian and software centres do; the checkers
# are installed on first use (scripts/install-deps --package-tools).
package-check: package
	@scripts/install-deps --package-tools
	desktop-file-validate desktop/tapewright.desktop
	appstreamcli validate --no-net desktop/org.example.tapewright.metainfo.xml
	lintian --fail-on error $(PACKAGE_DIR)/tapewright_*_amd64.deb

clean:
	rm -rf $(BUILD_DIR) $(PACKAGE_DIR)
