# Thin wrappers around CMake and CTest. `make run` and `make test` are the two
# commands of the README's quick start; both install what is missing first.

BUILD_DIR   ?= build
ASAN_DIR    ?= build-asan
FUZZ_DIR    ?= build-fuzz
WINDOWS_DIR ?= build-windows
JOBS        ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build run test package asan fuzz bench clean \
        windows test-windows package-windows

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja

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
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) -LE fuzz

# A Debian package (.deb) of the programs, manual pages, completions, udev rule
# and desktop files, in $(BUILD_DIR); its dependencies computed by dpkg-shlibdeps.
package: build
	@cmake --build $(BUILD_DIR) --target package

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: deps
	@cmake -S . -B $(ASAN_DIR) -G Ninja -DVEXTUNE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DVEXTUNE_GUI=OFF
	@cmake --build $(ASAN_DIR) -j $(JOBS)
	@cd $(ASAN_DIR) && ctest --output-on-failure -j $(JOBS) -LE fuzz

# libFuzzer targets under ASan and UBSan, each for FUZZ_SECONDS.
fuzz:
	@scripts/install-deps.sh --fuzz
	@cmake -S . -B $(FUZZ_DIR) -G Ninja -DVEXTUNE_FUZZ=ON -DVEXTUNE_SANITIZE=ON -DVEXTUNE_GUI=OFF \
	  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVEXTUNE_FUZZ_SECONDS=$(FUZZ_SECONDS)
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzzers
	@cd $(FUZZ_DIR) && ctest --output-on-failure -L fuzz

# Windows: the core, vextune-cli.exe and the unit tests cross-built with
# MinGW-w64 into $(WINDOWS_DIR). test-windows runs the tests under Wine and
# vextune-cli.exe against the Linux simulator (which it builds in $(BUILD_DIR)
# without the desktop program if that is not configured yet).
WINDOWS_CMAKE = cmake -S . -B $(WINDOWS_DIR) -G Ninja -DVEXTUNE_GUI=OFF \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake

windows:
	@scripts/install-deps.sh --windows
	@$(WINDOWS_CMAKE)
	@cmake --build $(WINDOWS_DIR) -j $(JOBS)

test-windows: windows
	@scripts/install-deps.sh
	@[ -f $(BUILD_DIR)/CMakeCache.txt ] || cmake -S . -B $(BUILD_DIR) -G Ninja -DVEXTUNE_GUI=OFF
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target davozi-sim vextune-cli
	@$(WINDOWS_CMAKE) -DVEXTUNE_DAVOZI_SIM=$(abspath $(BUILD_DIR))/sim/davozi-sim \
	  -DVEXTUNE_LINUX_CLI=$(abspath $(BUILD_DIR))/src/cli/vextune-cli
	@cd $(WINDOWS_DIR) && ctest --output-on-failure -j $(JOBS)

# A zip of vextune-cli.exe, the README and the licence texts, in $(WINDOWS_DIR).
package-windows: windows
	@cmake --build $(WINDOWS_DIR) --target package-windows

bench: build
	@cmake --build $(BUILD_DIR) --target benchmarks
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

clean:
	@rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR) $(WINDOWS_DIR)
