# The usual commands; each installs what is missing first (scripts/setup.sh).
BUILD   ?= build
ASAN    ?= build-asan
FUZZ    ?= build-fuzz
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
WERROR  := $(if $(CI),ON,OFF)
SOURCES := $(CURDIR)/(app|core|explain|overlays|platform|store|ui)/.*\.cpp$$
# Seconds each fuzz target runs: short in `make test`, longer in `make fuzz`.
FUZZ_SECONDS ?= 60
# Where `make install` puts the programs and their manuals.
PREFIX  ?= /usr/local
DEMO    := $(abspath $(BUILD))/demo
# The project's version, as the build tree at $(1) was configured with it.
VERSION_OF = $$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' $(1)/CMakeCache.txt)

# The native build, configured with what this machine has: without the test tools installed,
# the tests, benchmarks and Windows builds are left out of it.
CONFIGURE = cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DVARNAK_WERROR=$(WERROR) >/dev/null

.PHONY: all setup setup-run configure build program test test-native test-asan fuzz fuzz-smoke \
        lint bench clean run install package windows msi screenshots screenshots-qt \
        screenshots-windows

all: build

# What the program needs to build and run (make run), and what the tests need (the rest).
setup-run:
	@scripts/setup.sh run $(BUILD)

setup:
	@scripts/setup.sh test $(BUILD)

configure: setup
	@$(CONFIGURE)

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Only the programs the demo runs and what they link.
program: setup-run
	@$(CONFIGURE)
	@cmake --build $(BUILD) -j $(JOBS) --target varnak varnak-drive varnak-explain

# Ends with what was skipped and why, one line per group (an optional package missing, say).
test: test-native test-asan fuzz-smoke lint
	@scripts/skipped-summary.py $(BUILD)/Testing/junit.xml $(ASAN)/Testing/junit.xml

test-native: build
	@rm -f $(BUILD)/Testing/junit.xml
	@ctest --test-dir $(BUILD) --output-on-failure --no-tests=error -j $(JOBS) \
	    --output-junit $(abspath $(BUILD))/Testing/junit.xml

# The native suites again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: setup
	@cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNAK_BENCH=OFF -DVARNAK_WINE_TESTS=OFF \
	    -DVARNAK_PACKAGE_TESTS=OFF \
	    -DVARNAK_WERROR=$(WERROR) \
	    "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
	    >/dev/null
	@cmake --build $(ASAN) -j $(JOBS)
	@rm -f $(ASAN)/Testing/junit.xml
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --test-dir $(ASAN) --output-on-failure --no-tests=error -j $(JOBS) \
	    --output-junit $(abspath $(ASAN))/Testing/junit.xml

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
	    $$(git ls-files '*.cpp' | grep -E '^(app|core|explain|overlays|platform|store|ui)/')
	@echo "lint: clang-tidy and cppcheck are quiet"

# The program on the demo setup of examples/; without a display, a scripted demo session.
# Status 1 is a cancelled dialog, not a failure: the ticket display then says none was written.
# A ticket that was written is shown byte by byte, then explained by varnak-explain.
run: program
	@examples/install-demo.sh $(DEMO) >/dev/null
	@rm -f $(DEMO)/ticket.prn $(DEMO)/ticket.prn_debug
	@if [ -n "$${DISPLAY:-}$${WAYLAND_DISPLAY:-}" ]; then \
	    VARNAK_REGISTRY=$(DEMO)/registry.reg $(BUILD)/bin/varnak -R"$(DEMO)/ticket.prn" -DEBUG \
	        || [ $$? -eq 1 ]; \
	else \
	    echo "run: no display (neither DISPLAY nor WAYLAND_DISPLAY is set);"; \
	    echo "run: playing the demo session examples/demo-session.drive with varnak-drive instead"; \
	    cd $(DEMO) && VARNAK_REGISTRY=$(DEMO)/registry.reg \
	        $(abspath $(BUILD))/app/varnak-drive $(CURDIR)/examples/demo-session.drive; \
	fi
	@scripts/show-ticket.sh $(DEMO)/ticket.prn
	@if [ -e $(DEMO)/ticket.prn ]; then \
	    echo "What it will print (varnak-explain):"; $(BUILD)/bin/varnak-explain $(DEMO)/ticket.prn; \
	fi

install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package of the build: dist/varnak_<version>_<architecture>.deb.
package: build
	@cmake --build $(BUILD) --target deb
	@mkdir -p dist
	@cp $(BUILD)/packaging/varnak_$(call VERSION_OF,$(BUILD))_*.deb dist/
	@ls dist/varnak_$(call VERSION_OF,$(BUILD))_*.deb

# Pictures of each page, of the Qt dialog and of the Windows one, in $(BUILD)/screenshots.
screenshots: screenshots-qt screenshots-windows

# The Qt dialog under Xvfb, one picture per page and one of the whole screen, for each screen
# size and scale in $(BUILD)/screenshots/qt/<size>@<scale>.
screenshots-qt: build
	@examples/install-demo.sh --fresh $(abspath $(BUILD))/screenshots/qt/demo >/dev/null
	@VARNAK_REGISTRY=$(abspath $(BUILD))/screenshots/qt/demo/registry.reg \
	    scripts/qt-screenshots.sh $(BUILD)/tests/toolkit/qt/varnak-screenshots $(abspath $(BUILD))/screenshots/qt

# varnak.exe, varnak-explain.exe and varnak-print.exe for 64-bit Windows in dist/, and for 32-bit Windows in
# dist/i686/ (for sites whose product family runs as 32-bit programs; it can't be run on this
# machine).
windows: setup
	@for arch in x86_64 i686; do \
	    cmake -S . -B $(BUILD)/dist-$$arch -G Ninja -DCMAKE_BUILD_TYPE=Release \
	        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DVARNAK_MINGW_ARCH=$$arch \
	        -DVARNAK_TESTS=OFF -DVARNAK_WERROR=$(WERROR) >/dev/null && \
	    cmake --build $(BUILD)/dist-$$arch -j $(JOBS) --target varnak varnak-explain varnak-print \
	        || exit 1; \
	done
	@mkdir -p dist/i686
	@cp $(BUILD)/dist-x86_64/app/win32/varnak.exe dist/varnak.exe
	@cp $(BUILD)/dist-i686/app/win32/varnak.exe dist/i686/varnak.exe
	@cp $(BUILD)/dist-x86_64/bin/varnak-explain.exe dist/varnak-explain.exe
	@cp $(BUILD)/dist-i686/bin/varnak-explain.exe dist/i686/varnak-explain.exe
	@cp $(BUILD)/dist-x86_64/print/win32/varnak-print.exe dist/varnak-print.exe
	@cp $(BUILD)/dist-i686/print/win32/varnak-print.exe dist/i686/varnak-print.exe
	@cp docs/manual.html dist/manual.html
	@cp docs/manual.html dist/i686/manual.html
	@sha256sum dist/varnak.exe dist/i686/varnak.exe dist/varnak-explain.exe \
	    dist/i686/varnak-explain.exe dist/varnak-print.exe dist/i686/varnak-print.exe

# The Windows Installer packages of those builds: dist/varnak-<version>-x64.msi and -x86.msi.
msi: windows
	@cmake --build $(BUILD)/dist-x86_64 --target msi >/dev/null
	@cmake --build $(BUILD)/dist-i686 --target msi >/dev/null
	@cp $(BUILD)/dist-x86_64/packaging/varnak-$(call VERSION_OF,$(BUILD)/dist-x86_64)-x64.msi \
	    $(BUILD)/dist-i686/packaging/varnak-$(call VERSION_OF,$(BUILD)/dist-i686)-x86.msi dist/
	@ls dist/varnak-$(call VERSION_OF,$(BUILD)/dist-x86_64)-*.msi

# Pictures of the real dialog under Wine on a virtual display, one per page, at each screen
# size and DPI, in $(BUILD)/screenshots/windows/<size>-<dpi>dpi.
WINDOWS_SCREENS ?= 1366x768 1920x1080
WINDOWS_DPIS    ?= 96 120 144
screenshots-windows: build
	@for screen in $(WINDOWS_SCREENS); do for dpi in $(WINDOWS_DPIS); do \
	    rm -rf $(BUILD)/wine-prefix/drive_c/varnak-screenshots; \
	    VARNAK_SCREEN=$$screen VARNAK_DPI=$$dpi scripts/wine-display.sh /usr/lib/wine/wine64 \
	        $(CURDIR)/$(BUILD)/wine-prefix \
	        $(CURDIR)/$(BUILD)/windows/tests/toolkit/win32/varnak_screenshots.exe >/dev/null && \
	    python3 scripts/bmp-to-png.py $(BUILD)/wine-prefix/drive_c/varnak-screenshots \
	        $(BUILD)/screenshots/windows/$$screen-$${dpi}dpi || exit 1; \
	done; done
	@ls -d $(BUILD)/screenshots/windows/*

bench: build
	@for b in $(BUILD)/bench/*_bench; do echo "== $$b"; $$b; done
	@echo "== bench/print-bench.py (1 GiB through CUPS, beside lp -o raw)"
	@python3 bench/print-bench.py $(BUILD) $(CURDIR)

clean:
	@rm -rf $(BUILD) $(ASAN) $(FUZZ) dist
