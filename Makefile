# Thin wrapper over CMake: `make run` builds and runs the program here, `make test` builds
# and runs every test, `make check` runs the tests under AddressSanitizer and UBSan.
BUILD ?= build
CHECK_BUILD ?= build-check
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all build run test check clean

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

clean:
	rm -rf $(BUILD) $(CHECK_BUILD)
