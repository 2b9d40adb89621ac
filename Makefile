# Thin wrapper over CMake: `make run` builds the programs alone and runs zelk here, `make test`
# builds and runs every test, `make check` runs the tests under AddressSanitizer and UBSan,
# `make clang` builds with clang (Release, tests run; Debug);
# `make install PREFIX=...` installs, `make uninstall` removes what it installed,
# `make package` builds the Debian package in ./build;
# `make bench` times batch runs against the I/O floor and runs the field microbenchmarks;
# `make screenshot` draws the report's page of the examples in headless Chromium into
# doc/report-page.png, the picture the README shows;
# `make fuzz` runs each libFuzzer target (clang) for FUZZ_SECONDS; `make exhaustive` checks
# field rendering on every float and F15.0 reading on ten million typed numbers.
BUILD ?= build
CHECK_BUILD ?= build-check
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
CLANG_BUILD ?= build-clang
FUZZ_SECONDS ?= 300
CLANGXX ?= $(shell command -v clang++-14 || command -v clang++)
PREFIX ?= /usr/local
# Passed to the runner, for example BENCH_ARGS="--pairs 9 --samples 2000".
BENCH_ARGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# Warnings are errors in the developers' builds; install and package turn that off, so a
# newer compiler's new warning cannot break a user's build.
WERROR ?= ON
install package: WERROR = OFF

.PHONY: all configure build programs run test check clang install uninstall package examples screenshot bench fuzz exhaustive clean

all: build

configure:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DZELK_WERROR=$(WERROR)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The programs without the tests, benchmarks and fuzzers: what a first run needs.
programs: configure
	cmake --build $(BUILD) -j $(JOBS) --target programs

run: programs
	./$(BUILD)/zelk

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

check:
	cmake -S . -B $(CHECK_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZELK_SANITIZE=ON -DZELK_WERROR=ON
	cmake --build $(CHECK_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --test-dir $(CHECK_BUILD) --output-on-failure -j $(JOBS)

# The same warnings as errors under clang: a Release build whose tests run, and a Debug build.
clang:
	cmake -S . -B $(CLANG_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=$(CLANGXX) -DZELK_WERROR=ON
	cmake --build $(CLANG_BUILD) -j $(JOBS)
	ctest --test-dir $(CLANG_BUILD) --output-on-failure -j $(JOBS)
	cmake -S . -B $(CLANG_BUILD)-debug -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=$(CLANGXX) -DZELK_WERROR=ON
	cmake --build $(CLANG_BUILD)-debug -j $(JOBS)

fuzz:
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=$(CLANGXX) \
	  -DZELK_FUZZ=ON -DBUILD_TESTING=OFF -DZELK_WERROR=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_read_f15 fuzz_read_i fuzz_dialogue
	for target in read_f15 read_i dialogue; do \
	  fuzz/run $(FUZZ_BUILD) $$target $(FUZZ_SECONDS) || exit 1; \
	done

# Every float in the four F formats and ten million typed numbers against the C library:
# about an hour on two cores.
exhaustive:
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DZELK_BENCH=ON -DBUILD_TESTING=OFF -DZELK_WERROR=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target field_check
	./$(BENCH_BUILD)/bench/field_check read
	./$(BENCH_BUILD)/bench/field_check render

install: programs
	cmake --install $(BUILD) --prefix $(PREFIX)

# Removes the files the last `make install` put down, as listed in its manifest.
uninstall: configure
	cmake --build $(BUILD) --target uninstall

package: programs
	cd $(BUILD) && cpack -G DEB

# Writes the examples' transcripts and output files anew from the built programs.
examples: programs
	examples/generate $(BUILD)/zelk $(BUILD)/zelkfile

screenshot: programs
	python3 tests/browser/check_page.py --screenshot $(BUILD)/zelkfile . doc/report-page.png examples/discharges.out

bench:
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DZELK_BENCH=ON -DBUILD_TESTING=OFF -DZELK_WERROR=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	./$(BENCH_BUILD)/bench/zelk-bench --zelk $(BENCH_BUILD)/zelk --floor $(BENCH_BUILD)/bench/zelk-floor $(BENCH_ARGS)
	if [ -x $(BENCH_BUILD)/bench/zelk-field-bench ]; then \
	  ./$(BENCH_BUILD)/bench/zelk-field-bench --benchmark_min_time=0.2; fi

clean:
	rm -rf $(BUILD) $(CHECK_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) $(CLANG_BUILD) $(CLANG_BUILD)-debug
