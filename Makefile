# Quendra: `make run` builds and starts the program, `make test` builds and runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)
SANITIZE_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
BENCH_BUILD ?= build-bench

.PHONY: deps configure build run test test-sanitize fuzz bench truth plot package clean

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-quendra $(BUILD)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer; any report fails.
test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENDRA_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_stack_use_after_return=1:check_initialization_order=1 \
		UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sep-leaks.supp \
		ctest --output-on-failure -j $(JOBS)

# Each fuzz target (libFuzzer, clang 14, with both sanitizers) for FUZZ_SECONDS seconds.
fuzz: deps
	@cmake -S tests/fuzz -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++-14 \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@tests/fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The truth set's tables, then speed and memory on 1,000,000- and 10,000,000-star lists (a few
# minutes; not part of `test`).
bench: deps
	@cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS) --target bench-programs
	@bench/run-bench $(BENCH_BUILD)

# The truth set alone (a few seconds): what Quendra calls generated stars whose truth is known,
# for the startup limits and both lens presets (docs/photographs.md).
truth: deps
	@cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS) --target truth-bench
	@$(BENCH_BUILD)/bench/truth-bench

# A Debian package, quendra_VERSION_ARCH.deb here: `apt install ./quendra_*.deb`.
package: build
	@cd $(BUILD) && cpack -G DEB -B $(CURDIR)/$(BUILD)/package >/dev/null
	@cp $(BUILD)/package/quendra_*.deb .
	@ls quendra_*.deb

clean:
	rm -rf $(BUILD)
