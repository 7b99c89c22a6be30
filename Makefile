# The two commands of the README:
#   make run    set everything up, build, and start Zelmak
#   make test   set everything up, build, and run every test: the sanitizer suite, the bounded
#               fuzz runs, the suite built with clang, then the normal suite (its CTest summary
#               comes last)
# Quicker while working: make check (the normal suite only).
#   make package  a Debian package (.deb) in $(BUILD)
BUILD ?= build
JOBS ?= $(shell nproc)

ASAN_BUILD ?= $(BUILD)-asan
FUZZ_BUILD ?= $(BUILD)-fuzz
CLANG_BUILD ?= $(BUILD)-clang
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := fuzz_key_file fuzz_automatic fuzz_cli

.PHONY: setup configure build run test check test-sanitize test-fuzz test-clang bench package clean

setup:
	./scripts/setup.sh

configure: setup
	cmake -S . -B $(BUILD) -G Ninja -DZELMAK_WITH_QT=ON -DZELMAK_WERROR=ON

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/bin/zelmak

test: test-sanitize test-fuzz test-clang check

check: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer; the first finding
# fails its test. The options (and tests/lsan.supp) reach the tests through CTest.
test-sanitize: setup
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DZELMAK_WERROR=ON -DZELMAK_SANITIZE=ON -DZELMAK_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# The fuzz targets (clang, libFuzzer with ASan and UBSan), each run for FUZZ_SECONDS.
test-fuzz: setup
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DZELMAK_WERROR=ON -DZELMAK_FUZZ=ON -DZELMAK_WITH_QT=OFF \
	  -DZELMAK_BUILD_TESTS=OFF -DZELMAK_BUILD_BENCH=OFF -DCMAKE_CXX_COMPILER=clang++-14
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)
	./fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# Everything built for release with clang instead of GCC, warnings as errors, and the suite run.
test-clang: setup
	cmake -S . -B $(CLANG_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DZELMAK_WITH_QT=ON \
	  -DZELMAK_WERROR=ON -DCMAKE_CXX_COMPILER=clang++-14
	cmake --build $(CLANG_BUILD) -j $(JOBS)
	cd $(CLANG_BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	./bench/run.sh $(BUILD)

# A Debian package of the programs, the help and the desktop files: $(BUILD)/zelmak_*.deb.
package: build
	cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(CLANG_BUILD)
