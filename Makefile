# The usual commands; each installs what is missing first (scripts/setup.sh).
BUILD   ?= build
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
WERROR  := $(if $(CI),ON,OFF)

.PHONY: all setup configure build test bench clean

all: build

setup:
	@scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNAK_WERROR=$(WERROR) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/*_bench; do echo "== $$b"; $$b --benchmark_counters_tabular=true; done

clean:
	@rm -rf $(BUILD)
