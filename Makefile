# Vektrion: `make play` and `make test` do all set-up on a fresh Debian machine.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_RUNS ?= 20000
MAKEFLAGS += --no-print-directory

# ccache, when installed, keeps compiled objects across builds and clones: paths are taken
# relative to the checkout, so a second clone of the same sources finds them too.
CCACHE := $(shell command -v ccache 2>/dev/null)
LAUNCHER := $(if $(CCACHE),-DCMAKE_CXX_COMPILER_LAUNCHER=$(CCACHE))
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

.PHONY: play configure sanitizer-configure build test bench bench-window deps deps-play include-rules unit-tests sanitizer-build asan-tests smoke-tests \
        fuzz-tests clang-build format clean soak assets contact-sheet media-tools programs install uninstall deb \
        install-tests

# make play: the packages the game needs, the game alone, one progress line; the whole
# build log goes to a file, named if the build fails.
PLAY_LOG := $(BUILD)/play-build.log
play: deps-play
	@mkdir -p $(BUILD)
	@set -o pipefail; \
	{ cmake -S . -B $(BUILD) $(LAUNCHER) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEK_TESTS=OFF -DVEK_BENCH=OFF && \
	  cmake --build $(BUILD) -j $(JOBS) --target vektrion; } 2>&1 | tee $(PLAY_LOG) | \
	  awk '/^\[ *[0-9]+%\]/ { match($$0, /[0-9]+%/); printf "\rBuilding Vektrion… %4s", substr($$0, RSTART, RLENGTH); fflush() }' \
	  || { printf '\nThe build failed; its log is in %s\n' "$(PLAY_LOG)"; tail -n 20 $(PLAY_LOG); exit 1; }
	@printf '\rBuilding Vektrion… done\n'
	@echo "Starting Vektrion…"
	@./$(BUILD)/vektrion

configure: deps
	$(PHASE) "configure: g++" cmake -S . -B $(BUILD) $(LAUNCHER) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DVEK_TESTS=ON -DVEK_BENCH=ON >/dev/null

build: configure
	$(PHASE) "build: g++ (game, tools, tests)" cmake --build $(BUILD) -j $(JOBS)

# The two builds run side by side, so that one's links and generated sources leave no core
# idle while the other compiles, and the unit tests start as soon as the g++ build is done,
# beside the end of the clang build. Then the smoke tests and the install checks, which
# mostly wait on windows and window managers, run side by side, and beside them, at the
# lowest priority so that the windows keep their pace, the sanitised unit tests and the
# fuzzing take the processor time they leave.
# At its end, whether it passed or not, it prints the wall time of each phase.
TEST_PHASES = $(abspath $(BUILD))/test-phases.tsv
PHASE := tools/phases.sh run
test:
	@mkdir -p $(BUILD); rm -f $(TEST_PHASES); export VEK_PHASES=$(TEST_PHASES); status=0; \
	{ $(PHASE) packages $(MAKE) deps && export VEK_DEPS_CHECKED=1 && \
	  $(MAKE) -j2 unit-tests sanitizer-build && export VEK_BUILT=1 && \
	  $(MAKE) include-rules && \
	  { $(MAKE) -j2 smoke-tests install-tests & windows=$$!; \
	    nice -n 19 $(MAKE) asan-tests fuzz-tests; sanitised=$$?; \
	    wait $$windows && [ $$sanitised = 0 ]; }; } || status=$$?; \
	tools/phases.sh table $(TEST_PHASES); exit $$status

# Which room of src/ may include which, and that only the platform talks to SDL.
include-rules:
	$(PHASE) "include rules" $(PYTHON) tools/check_include_rules.py

# A test program run as eight shards, two at a time (one per core), each test once: a lane
# that draws short shards takes the next, so the two lanes end close together.
# $(call test-shards,WHAT,PROGRAM,LOG PREFIX,ENVIRONMENT).
SHARDS := 0 1 2 3 4 5 6 7
define test-shards
	@start=$$EPOCHREALTIME; \
	printf '%s\n' $(SHARDS) | xargs -P 2 -I{} bash -c 'SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy $(4) \
	  GTEST_TOTAL_SHARDS=$(words $(SHARDS)) GTEST_SHARD_INDEX={} $(2) --gtest_brief=1 > $(3)-{}.log 2>&1'; \
	status=$$?; tools/phases.sh record "$(1)" $$start $$status; \
	for shard in $(SHARDS); do grep -v '^Running main()\|^CRITICAL: ' $(3)-$$shard.log | \
	  sed "s/^\[  PASSED  \]/[  PASSED  ] $(1), shard $$shard of $(words $(SHARDS)):/"; done; \
	exit $$status
endef

# Within make test the builds come first and once; the checks after them take them as made
# (VEK_BUILT) instead of asking both build systems again.
after = $(if $(VEK_BUILT),,$(1))

# The unit tests straight from their program, not one process a test as ctest runs them
# (a third of the time), and the demonstration's check, which only ctest knows.
unit-tests: $(call after,build)
	$(call test-shards,unit tests,$(BUILD)/vektrion_tests,$(BUILD)/unit-tests)
	$(PHASE) "demonstration check" ctest --test-dir $(BUILD) --output-on-failure -R '^Demonstration\.PlaysAsRecorded$$'

# The unit tests under AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzz targets,
# come from one build with clang (which also checks that clang builds the code warning-free).
# It is optimised at -O1, as the sanitizers are usually run (a little quicker to build than
# -O2), with line tables only for debug information: all that their reports need.
FUZZ_TARGETS := $(patsubst fuzz/%.cpp,fuzz_%,$(wildcard fuzz/*.cpp))

sanitizer-configure: deps
	$(PHASE) "configure: clang, sanitised" env CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(LAUNCHER) \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEK_SANITIZE=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only -DNDEBUG" \
	  -DVEK_FUZZ=ON -DVEK_TESTS=ON -DVEK_BENCH=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null

sanitizer-build: sanitizer-configure
	$(PHASE) "build: clang (sanitised tests, fuzz targets)" cmake --build $(FUZZ_BUILD) -j $(JOBS) \
	  --target vektrion_tests $(FUZZ_TARGETS)

# The sanitised unit tests, in the same shards.
asan-tests: $(call after,sanitizer-build)
	$(call test-shards,sanitised unit tests,$(FUZZ_BUILD)/vektrion_tests,$(FUZZ_BUILD)/asan-tests,\
	  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1)

# The smoke tests run in six groups side by side, each on a private display of its own
# (server numbers apart, so that no two reach for the same one): the bare window; the
# window-manager tests with openbox started for them; the two longest of those, a game
# played to its end and watched twice, and a game started from each setting of the file,
# each on its own; the window sizes and remembered settings on a 3840 × 2160 screen with
# openbox; and full screen fitted on a 1280 × 800 screen with openbox. Most of their time is
# waiting for a window manager or a game's ticks, not work.
SMOKE = $(BUILD)/vektrion_smoke --gtest_brief=1
SMOKE_WM = tests/smoke/with_window_manager.sh $(SMOKE)
SMOKE_SCREEN = -s '-screen 0 1280x1024x24'
SMOKE_GROUPS = \
  "bare|xvfb-run -a -n 101 $(SMOKE_SCREEN) $(SMOKE) --gtest_filter='-*UnderWindowManager*:*OnLargeScreen*:*OnSmallScreen*'" \
  "window manager|xvfb-run -a -n 121 $(SMOKE_SCREEN) $(SMOKE_WM) --gtest_filter='*UnderWindowManager*:-Records*:Settings*'" \
  "settings|xvfb-run -a -n 161 $(SMOKE_SCREEN) $(SMOKE_WM) --gtest_filter='SettingsUnderWindowManager*'" \
  "records|xvfb-run -a -n 131 $(SMOKE_SCREEN) $(SMOKE_WM) --gtest_filter='RecordsUnderWindowManager*'" \
  "large screen|VEK_SMOKE_LARGE_SCREEN=1 xvfb-run -a -n 141 -s '-screen 0 3840x2160x24' $(SMOKE_WM) --gtest_filter='*OnLargeScreen*'" \
  "small screen|VEK_SMOKE_SMALL_SCREEN=1 xvfb-run -a -n 151 -s '-screen 0 1280x800x24' $(SMOKE_WM) --gtest_filter='*OnSmallScreen*'"

# The game played under AddressSanitizer with random keys and F2 presses for SOAK_MINUTES
# (10 by default); fails when the live heap grows between title screens. Not part of test.
SOAK_MINUTES ?= 10
soak: deps
	cmake -S . -B $(ASAN_BUILD) $(LAUNCHER) -DCMAKE_BUILD_TYPE=Debug -DVEK_SANITIZE=ON -DVEK_BENCH=OFF >/dev/null
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target vektrion-soak
	SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=1 \
	  ./$(ASAN_BUILD)/vektrion-soak --minutes $(SOAK_MINUTES)

smoke-tests: $(call after,build)
	@[ -x $(BUILD)/vektrion_smoke ] || exit 0; \
	status=0; n=0; \
	for group in $(SMOKE_GROUPS); do \
	  n=$$((n + 1)); \
	  SDL_AUDIODRIVER=dummy $(PHASE) "smoke tests, $${group%%|*}" bash -c "$${group#*|}" > $(BUILD)/smoke-$$n.log 2>&1 & \
	done; \
	for group in $(SMOKE_GROUPS); do wait -n || status=1; done; \
	n=0; for group in $(SMOKE_GROUPS); do \
	  n=$$((n + 1)); echo "smoke tests, $${group%%|*}:"; grep -v '^Running main()' $(BUILD)/smoke-$$n.log; \
	done; \
	exit $$status

# Each fuzz target for a short fixed number of runs, two at a time; a target that fails
# stops the run with the end of its log. New inputs go to the build folder, so the
# committed seeds stay as they are.
fuzz-tests: $(call after,sanitizer-build)
	@start=$$EPOCHREALTIME; find $(FUZZ_BUILD) -maxdepth 1 -name 'fuzz_*' -type f -executable | sort | \
	  xargs -P 2 -I {} bash -c 'set -o pipefail; f={}; name=$$(basename $$f); \
	    corpus=fuzz/corpus/$${name#fuzz_}; found=$(FUZZ_BUILD)/found/$$name; mkdir -p $$found; \
	    if "$$f" -runs=$(FUZZ_RUNS) -max_len=65536 -rss_limit_mb=1024 $$found $$( [ -d $$corpus ] && echo $$corpus ) \
	         > $$found.log 2>&1; then echo "fuzzed $$name for $(FUZZ_RUNS) runs: $$(tail -n 1 $$found.log)"; \
	    else echo "FAILED: fuzzing $$name"; tail -n 40 $$found.log; exit 255; fi'; \
	  status=$$?; tools/phases.sh record fuzzing $$start $$status; exit $$status

# The pictures and sounds under assets/ are drawn and synthesised by tools/art/ (seeded, so
# the same code writes the same bytes); each run checks them through the game's own readers.
PYTHON ?= /usr/bin/python3
ART := PYTHONDONTWRITEBYTECODE=1 $(PYTHON) tools/art

media-tools: deps
	cmake -S . -B $(BUILD) $(LAUNCHER) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target vektrion-picture vektrion-wave

assets: media-tools
	$(ART)/make_assets.py
	$(ART)/check_assets.py $(BUILD)

contact-sheet: media-tools
	$(ART)/contact_sheet.py $(BUILD)

# Installing: `make install` (PREFIX=/usr/local, DESTDIR honoured) puts the game and its
# tools in PREFIX/bin with the menu entry, icons, metadata and manual page under
# PREFIX/share; `make uninstall` (same DESTDIR) takes away what it put there. `make deb`
# packs the same build as build/vektrion_VERSION-1_amd64.deb, VERSION being the one given to
# project() in CMakeLists.txt (see cmake/install.cmake).
PREFIX ?= /usr/local
INSTALLED_PROGRAMS := vektrion vektrion-picture vektrion-wave vektrion-assets vektrion-replay

programs: deps-play
	cmake -S . -B $(BUILD) $(LAUNCHER) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target $(INSTALLED_PROGRAMS)

install: programs
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)" --strip

uninstall:
	DESTDIR="$(DESTDIR)" cmake -DBUILD_DIR=$(BUILD) -P cmake/uninstall.cmake

deb: programs
	cd $(BUILD) && cpack -G DEB

# The installed game and the package: files, validators, manual page, the tools' usage, the
# window under Xvfb, uninstall, lintian, package contents.
install-tests: $(call after,build)
	$(PHASE) "install checks" tests/install/install_test.sh $(BUILD)

bench: build
	cmake --build $(BUILD) -j $(JOBS) --target vektrion_bench
	SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ./$(BUILD)/vektrion_bench

# The real main window's processor use and frame timing, sleeping loop against polling loop,
# and its start-up and "Récords…" with 5,000 replays in the folder, on a private X display
# with a window manager (about 3 minutes). The display is large enough for the window at three
# zoom, so full screen shows the picture at three zoom too. Full screen at whole zoom and
# fitted, and the start's time to the first frame and memory on the title, run on a
# 1920 × 1080 display of their own.
bench-window: build
	cmake --build $(BUILD) -j $(JOBS) --target vektrion_window_bench
	SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 2560x1600x24" tests/smoke/with_window_manager.sh \
	  ./$(BUILD)/vektrion_window_bench --benchmark_filter='-At1920x1080|BM_Start'
	SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 1920x1080x24" tests/smoke/with_window_manager.sh \
	  ./$(BUILD)/vektrion_window_bench --benchmark_filter='At1920x1080|BM_Start'

# Installs whatever Debian packages of the given lists are missing (sudo when not root).
install-packages = @missing=$$(cat $(1) | grep -v '^\#' | while read -r p; do \
	  [ -n "$$p" ] && ! dpkg-query -W -f='$${Status}' "$$p" 2>/dev/null | grep -q "ok installed" && echo "$$p"; \
	done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing: "$$missing; \
	  SUDO=$$( [ "$$(id -u)" = 0 ] || echo sudo ); \
	  $$SUDO apt-get update -q && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -q $$missing; \
	fi

# What building and playing the game need (packages/play.txt), and what testing, measuring
# and packaging need besides (packages/test.txt).
deps-play:
	$(call install-packages,packages/play.txt)

# make test checks them once, not again in each of its parts (VEK_DEPS_CHECKED).
deps:
	$(if $(VEK_DEPS_CHECKED),,$(call install-packages,packages/play.txt packages/test.txt))

format:
	clang-format -i $$(git ls-files '*.cpp' '*.hpp')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
