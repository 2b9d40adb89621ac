# Thin wrapper over CMake: `make run` builds and runs the program here, `make test` builds
# and runs every test, `make check` runs the tests under AddressSanitizer and UBSan, `make fuzz`
# runs each libFuzzer target (clang) for FUZZ_SECONDS; `make install PREFIX=...` installs,
# `make package` builds the Debian package in ./build.
BUILD ?= build
CHECK_BUILD ?= build-check
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 300
CLANGXX ?= $(shell command -v clang++-14 || command -v clang++)
PREFIX ?= /usr/local
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all build run test check fuzz install package examples clean

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/zelk

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

check:
	cmake -S . -B $(CHECK_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZELK_SANITIZE=ON
	cmake --build $(CHECK_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --test-dir $(CHECK_BUILD) --output-on-failure -j $(JOBS)

fuzz:
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=$(CLANGXX) \
	  -DZELK_FUZZ=ON -DBUILD_TESTING=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_read_f15 fuzz_read_i fuzz_dialogue
	for target in read_f15 read_i dialogue; do \
	  fuzz/run $(FUZZ_BUILD) $$target $(FUZZ_SECONDS) || exit 1; \
	done

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	cd $(BUILD) && cpack -G DEB

# Writes the examples' transcripts and output files anew from the built program.
examples: build
	examples/generate $(BUILD)/zelk

clean:
	rm -rf $(BUILD) $(CHECK_BUILD) $(FUZZ_BUILD)
