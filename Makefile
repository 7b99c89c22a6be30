# The two commands of the README:
#   make run    set everything up, build, and start Zelmak
#   make test   set everything up, build, and run every test
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: setup configure build run test bench clean

setup:
	./scripts/setup.sh

configure: setup
	cmake -S . -B $(BUILD) -G Ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/bin/zelmak

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	./bench/run.sh $(BUILD)

clean:
	rm -rf $(BUILD)
