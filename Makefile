# The usual commands; each installs what is missing first (scripts/setup.sh).
BUILD   ?= build
ASAN    ?= build-asan
FUZZ    ?= build-fuzz
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
WERROR  := $(if $(CI),ON,OFF)
SOURCES := $(CURDIR)/(app|core|overlays|platform|store|ui)/.*\.cpp$$
# Seconds each fuzz target runs: short in `make test`, longer in `make fuzz`.
FUZZ_SECONDS ?= 60

.PHONY: all setup configure build test test-native test-asan fuzz fuzz-smoke lint bench clean

all: build

setup:
	@scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DVARNAK_WERROR=$(WERROR) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: test-native test-asan fuzz-smoke lint

test-native: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The native suites again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: setup
	@cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNAK_BENCH=OFF -DVARNAK_WINE_TESTS=OFF \
	    -DVARNAK_WERROR=$(WERROR) \
	    "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
	    >/dev/null
	@cmake --build $(ASAN) -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS)

fuzz-build: setup
	@cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_CXX_COMPILER=clang++ -DVARNAK_TESTS=OFF -DVARNAK_BENCH=OFF -DVARNAK_FUZZ=ON \
	    "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all" \
	    >/dev/null
	@cmake --build $(FUZZ) -j $(JOBS)

# Each target explores from a copy of its seed corpus, so the repository is never changed.
fuzz: fuzz-build
	@scripts/fuzz.sh $(FUZZ) $(FUZZ_SECONDS)

fuzz-smoke: fuzz-build
	@scripts/fuzz.sh $(FUZZ) 5

lint: build
	@run-clang-tidy -p $(BUILD) -quiet -j $(JOBS) '$(SOURCES)' >$(BUILD)/clang-tidy.log 2>&1 \
	    || { grep -E 'warning:|error:' -A3 $(BUILD)/clang-tidy.log; exit 1; }
	@cppcheck --quiet --error-exitcode=1 --enable=warning,performance,portability \
	    --std=c++20 --language=c++ --inline-suppr -I . --suppress=missingIncludeSystem \
	    $$(git ls-files '*.cpp' | grep -E '^(app|core|overlays|platform|store|ui)/')
	@echo "lint: clang-tidy and cppcheck are quiet"

bench: build
	@for b in $(BUILD)/bench/*_bench; do echo "== $$b"; $$b; done

clean:
	@rm -rf $(BUILD) $(ASAN) $(FUZZ)
