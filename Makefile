# Thin wrappers around CMake and CTest. `make run` and `make test` are the two
# commands of the README's quick start; both install what is missing first.

BUILD_DIR   ?= build
ASAN_DIR    ?= build-asan
FUZZ_DIR    ?= build-fuzz
JOBS        ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build run test package asan fuzz bench clean

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

bench: build
	@cmake --build $(BUILD_DIR) --target benchmarks
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

clean:
	@rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)
