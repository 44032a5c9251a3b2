# Thin wrappers around CMake and CTest. `make run` and `make test` are the two
# commands of the README's quick start; both install what is missing first.

BUILD_DIR   ?= build
ASAN_DIR    ?= build-asan
TSAN_DIR    ?= build-tsan
WINDOWS_DIR ?= build-windows
# The Linux davozi-sim and vextune-cli that test-windows runs against the
# Windows build: a folder of their own, so that BUILD_DIR keeps the desktop program.
WINDOWS_HELPERS_DIR ?= build-windows-helpers
JOBS        ?= $(shell nproc)
FUZZ_SECONDS ?= 60
# For a test without a TIMEOUT of its own; every test has one from its labels
# (cmake/test_timeouts.cmake), so a hung test fails within minutes.
TEST_TIMEOUT ?= 900
CTEST = ctest --output-on-failure -j $(JOBS) --timeout $(TEST_TIMEOUT)

# Programs the sanitizer builds run while building (test discovery, the icon
# renderer, the manual pages) see the same leak suppressions as the tests.
SANITIZER_BUILD_ENV = LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0

.PHONY: all deps configure configure-asan build run test package asan tsan fuzz bench bench-smoke clean \
        windows test-windows package-windows

all: build

deps:
	@scripts/install-deps.sh

# The desktop program is switched on explicitly: a folder that an older
# test-windows configured without it gets it back.
configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DVEXTUNE_GUI=ON

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# The desktop program against a simulated DAV-OZI inside it. Without a display
# the command line tool shows the main job instead: it writes the default
# configuration and shows it.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD_DIR)/src/ui/vextune --simulate; \
	else \
	  echo "No display (DISPLAY and WAYLAND_DISPLAY are empty): the desktop program cannot open."; \
	  echo "The command line tool instead writes the default configuration and shows it:"; \
	  echo; \
	  $(BUILD_DIR)/src/cli/vextune-cli defaults $(BUILD_DIR)/default.vxg && \
	  $(BUILD_DIR)/src/cli/vextune-cli show $(BUILD_DIR)/default.vxg; \
	  echo; \
	  echo "To see the desktop program on a virtual display:"; \
	  echo "  xvfb-run -a $(BUILD_DIR)/src/ui/vextune --simulate"; \
	  echo "Pictures of every dialog: docs/screenshots (scripts/screenshots makes them)."; \
	fi

test: build
	@cd $(BUILD_DIR) && $(CTEST) -LE fuzz

# A Debian package (.deb) of the programs, manual pages, completions, udev rule
# and desktop files, in $(BUILD_DIR); its dependencies computed by dpkg-shlibdeps.
package: build
	@cmake --build $(BUILD_DIR) --target package

# The whole suite, the desktop program's tests included (offscreen), under
# AddressSanitizer and UndefinedBehaviorSanitizer; leaks inside Qt and
# fontconfig are suppressed (tests/sanitizers/lsan.supp).
asan: configure-asan
	@$(SANITIZER_BUILD_ENV) cmake --build $(ASAN_DIR) -j $(JOBS)
	@cd $(ASAN_DIR) && $(CTEST) -LE fuzz

# One clang tree serves the sanitizer run and the fuzz targets, so that CI
# compiles the core once for both.
configure-asan:
	@scripts/install-deps.sh --fuzz
	@cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
	  -DVEXTUNE_SANITIZE=ON -DVEXTUNE_FUZZ=ON -DVEXTUNE_GUI=ON -DVEXTUNE_TIMEOUT_FACTOR=4 \
	  -DVEXTUNE_FUZZ_SECONDS=$(FUZZ_SECONDS)

# The tests labelled "tsan" under ThreadSanitizer: the worker thread, the
# questions across threads, the dialogs that run a transfer, and the core's
# transfer and update tests. Qt is not built with ThreadSanitizer; see
# tests/sanitizers/tsan.supp for what that means.
tsan: deps
	@cmake -S . -B $(TSAN_DIR) -G Ninja -DVEXTUNE_TSAN=ON -DCMAKE_BUILD_TYPE=Debug \
	  -DVEXTUNE_GUI=ON -DVEXTUNE_TIMEOUT_FACTOR=5
	@cmake --build $(TSAN_DIR) -j $(JOBS) --target tsan_tests
	@cd $(TSAN_DIR) && $(CTEST) -L tsan

# libFuzzer targets under ASan and UBSan, each for FUZZ_SECONDS, in the ASan tree.
fuzz: configure-asan
	@$(SANITIZER_BUILD_ENV) cmake --build $(ASAN_DIR) -j $(JOBS) --target fuzzers
	@cd $(ASAN_DIR) && ctest --output-on-failure --timeout $(TEST_TIMEOUT) -L fuzz

# Windows: the core, vextune-cli.exe and the unit tests cross-built with
# MinGW-w64 into $(WINDOWS_DIR). test-windows runs the tests under Wine and
# vextune-cli.exe against the Linux simulator, compared with the Linux
# vextune-cli; those two are built in $(WINDOWS_HELPERS_DIR).
WINDOWS_CMAKE = cmake -S . -B $(WINDOWS_DIR) -G Ninja -DVEXTUNE_GUI=OFF \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake

windows:
	@scripts/install-deps.sh --windows
	@$(WINDOWS_CMAKE)
	@cmake --build $(WINDOWS_DIR) -j $(JOBS)

test-windows: windows
	@scripts/install-deps.sh
	@cmake -S . -B $(WINDOWS_HELPERS_DIR) -G Ninja -DVEXTUNE_GUI=OFF -DVEXTUNE_BUILD_TESTS=OFF
	@cmake --build $(WINDOWS_HELPERS_DIR) -j $(JOBS) --target davozi-sim vextune-cli
	@$(WINDOWS_CMAKE) -DVEXTUNE_DAVOZI_SIM=$(abspath $(WINDOWS_HELPERS_DIR))/sim/davozi-sim \
	  -DVEXTUNE_LINUX_CLI=$(abspath $(WINDOWS_HELPERS_DIR))/src/cli/vextune-cli
	@cd $(WINDOWS_DIR) && $(CTEST)

# A zip of vextune-cli.exe, the README and the licence texts, in $(WINDOWS_DIR).
package-windows: windows
	@cmake --build $(WINDOWS_DIR) --target package-windows

# Every benchmark; fails when one of them fails its own run. bench-smoke runs
# each once in its short mode (VEXTUNE_BENCH_SMOKE=1: one repetition, a small
# image), to see that they still work; its figures mean nothing.
bench: build
	@cmake --build $(BUILD_DIR) --target benchmarks
	@failed=; for b in $(BUILD_DIR)/bench/bench_*; do \
	  if [ -x "$$b" ]; then "$$b" || failed="$$failed $$(basename $$b)"; fi; \
	done; \
	if [ -n "$$failed" ]; then echo "Benchmarks that failed:$$failed" >&2; exit 1; fi

bench-smoke:
	@VEXTUNE_BENCH_SMOKE=1 $(MAKE) --no-print-directory bench

clean:
	@rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) $(WINDOWS_DIR) $(WINDOWS_HELPERS_DIR)
