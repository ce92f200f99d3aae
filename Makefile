# The front door. `make demo` and `make test` install what is missing first.
MAKEFLAGS += --no-print-directory
# As many jobs as the machine has processors, for builds and tests alike.
JOBS := $(shell nproc 2>/dev/null || echo 2)
.PHONY: all check deps configure-native configure-windows configure-web gauge native windows web web-serve test test-native test-windows demo pictures dist figures mutants clean

all: gauge

deps:
	@tools/install-deps

# Configured every time, which takes a moment: a build that only regenerated
# itself during `cmake --build` would not yet know targets added since.
configure-windows:
	@tools/configure windows >/dev/null

configure-native:
	@tools/configure native >/dev/null

configure-web:
	@tools/configure web >/dev/null

gauge: deps configure-windows
	cmake --build --preset windows -j $(JOBS) --target Lumivane.gau
	@echo "Built $(CURDIR)/build/windows/Lumivane.gau"

native: deps configure-native
	cmake --build --preset native -j $(JOBS)

windows: deps configure-windows
	cmake --build --preset windows -j $(JOBS)

# The gauge in a web page: static files in build/web/, whose path is printed.
# Emscripten's linker is memory-hungry: two jobs at most.
web: deps configure-web
	cmake --build --preset web -j 2
	@echo "$(CURDIR)/build/web"

# Serves the page on this machine only.
WEB_PORT ?= 8000
web-serve: web
	@echo "http://127.0.0.1:$(WEB_PORT)/"
	python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory build/web

test-native: native
	ctest --preset native -j $(JOBS)

# Wine's server and services outlive the test programs; they are stopped so
# that nothing of the run is left behind.
WINE_STOP := WINEPREFIX=$(CURDIR)/build/windows/wine/prefix wineserver -k 2>/dev/null || true

test-windows: windows
	ctest --preset windows -j $(JOBS); status=$$?; $(WINE_STOP); exit $$status

# Every test of both builds, stage by stage, with the time of each stage
# printed at the end. The page is built beside the native build, so that its
# test (one of the native tests, which would build it otherwise) starts at
# once. Much of the native tests' time is the page's passes running at the
# pace of the clock, and the fuzzers' fixed minute: they run two to a
# processor, and the windows build runs beside them.
test:
	@tools/stages \
		"installing what is missing" "tools/install-deps" \
		"configuring the builds" "tools/configure native >/dev/null && tools/configure windows >/dev/null && tools/configure web >/dev/null" \
		"&building the page" "cmake --build --preset web -j 2" \
		"building native" "cmake --build --preset native -j $(JOBS)" \
		"&building windows" "cmake --build --preset windows -j $(JOBS)" \
		"native tests (and the page)" "ctest --preset native -j $$(( $(JOBS) * 2 ))" \
		"windows tests (under Wine)" "ctest --preset windows -j $(JOBS); status=\$$?; $(WINE_STOP); exit \$$status"

# The edit loop: builds what the working tree's change needs and runs the
# tests of the rooms it touches, in both builds (tools/check); CHANGED=REF
# compares with another commit than HEAD.
check: deps
	@tools/check --jobs $(JOBS) $(if $(CHANGED),--since '$(CHANGED)')

DEMO := $(CURDIR)/build/demo

# A take-off flown through the bench under Wine, with Wine's real DirectSound
# recorded by ALSA's file device: its video, chart, frames, sound and log are
# left in one folder, whose path is the last line printed.
demo: deps configure-windows
	cmake --build --preset windows -j $(JOBS) --target Lumivane.gau lumivane-bench
	@rm -rf $(DEMO)
	@bench/run-bench build/windows/Lumivane.gau --scenario bench/scenarios/takeoff.txt --out $(DEMO)
	@echo
	@echo "What to look at, in the folder below:"
	@echo "  takeoff.mp4   the video: the panel as it changed, the time and airspeed beneath, with its sound"
	@echo "  takeoff.png   the chart: airspeed against time, the three speeds, the lamps lit, each beep"
	@echo "  frames.png    the panel each time it changed: lamps 1, 2, 3 light at 6, 7, 8 s, all dark past 110"
	@echo "  sound.wav     what Wine's DirectSound played: a single, a single and a double beep"
	@echo "  events.jsonl  the gauge flown, then a line a pass: each element's result; the lamps, marks, readout, call-outs started, and the speeds the gauge holds"
	@echo "  (frames/ has each changed frame at full size; settings/ the gauge's C:\\pelmo files)"
	@echo "To try the gauge by hand, on an X display: bench/run-bench --window"
	@echo "$(DEMO)"

# The front page's pictures in docs/, from a take-off flown by the native
# bench on its software DirectSound at a fixed rate: the same bytes on every
# machine (but the chart, which is matplotlib's), which the CTest
# bench_pictures holds the committed ones to. Then the test aircraft's main
# window with the gauge in its place, as --panel draws it.
pictures: deps configure-native
	cmake --build --preset native -j $(JOBS) --target Lumivane.gau lumivane-bench
	@/usr/bin/python3 bench/pictures/pictures.py build/native/lumivane-bench build/native/Lumivane.gau \
		bench/scenarios/takeoff.txt $(CURDIR)/docs
	@panel=$$(mktemp -d) && trap 'rm -rf "$$panel"' EXIT && \
	cfg=$$(/usr/bin/python3 tests/bench/aircraft/MakeTestPanel.py "$$panel" build/native/Lumivane.gau) && \
	build/native/lumivane-bench --panel "$$cfg" --out "$$panel/drawn" > /dev/null && \
	cp "$$panel/drawn/panel-window00.png" docs/panel-window.png && echo "$(CURDIR)/docs/panel-window.png"

# The figures of speed, size and reliability, regenerated into
# build/figures/figures.md by tools/figures/, a file a section (its
# __main__.py says what is in it). The long runs' lengths: seconds of each
# fuzzer, presses of the settings storm, take-offs of the soak, passes
# counted by callgrind, repetitions of the benchmark; the mutants' scores
# come from docs/mutants/ (make mutants).
FIGURES_FUZZ_SECONDS ?= 300
FIGURES_STORM_PRESSES ?= 100000
FIGURES_SOAK_TAKEOFFS ?= 10000
FIGURES_PASSES ?= 1000000
FIGURES_REPETITIONS ?= 10
# 1: every room's mutants run again first (hours); otherwise their latest.
FIGURES_MUTANTS ?= 0
# 0: leave out the fresh clones' `make demo`, `make test` and `make check`.
FIGURES_FRONT_DOOR ?= 1
# Installs and uninstalls killed at random moments.
FIGURES_INSTALL_KILLS ?= 500

figures: deps
	@FIGURES_FUZZ_SECONDS=$(FIGURES_FUZZ_SECONDS) FIGURES_STORM_PRESSES=$(FIGURES_STORM_PRESSES) \
	FIGURES_SOAK_TAKEOFFS=$(FIGURES_SOAK_TAKEOFFS) FIGURES_PASSES=$(FIGURES_PASSES) \
	FIGURES_REPETITIONS=$(FIGURES_REPETITIONS) FIGURES_MUTANTS=$(FIGURES_MUTANTS) \
	FIGURES_FRONT_DOOR=$(FIGURES_FRONT_DOOR) FIGURES_INSTALL_KILLS=$(FIGURES_INSTALL_KILLS) \
	/usr/bin/python3 tools/figures

# How many plausible slips the tests catch in one room (tools/mutate): faults
# made one at a time in a scratch copy of the tree, each built and judged by
# the room's tests; the report goes to docs/mutants/, kept in the repository. Without ROOM it lists
# the rooms and their mutant counts. MUTANTS_LIMIT=N tries a fixed sample of
# N; MUTANTS_PRESETS and MUTANTS_EXCLUDE choose the builds and leave tests out;
# MUTANTS_SURVIVORS=1 tries only the last run's survivors and time-outs again;
# MUTANTS_GROW=1 takes the last sample up to MUTANTS_LIMIT. CHANGED=REF tries
# every mutant of the lines changed since REF instead, room by room.
ROOM ?=
CHANGED ?=
mutants: deps
	@MUTANTS_LIMIT='$(MUTANTS_LIMIT)' MUTANTS_PRESETS='$(MUTANTS_PRESETS)' MUTANTS_EXCLUDE='$(MUTANTS_EXCLUDE)' \
	MUTANTS_SURVIVORS='$(MUTANTS_SURVIVORS)' MUTANTS_GROW='$(MUTANTS_GROW)' \
	tools/mutate $(if $(CHANGED),--changed '$(CHANGED)',$(if $(ROOM),--room '$(ROOM)'))

# The release zip: the gauge, the windows bench to try it with, and texts;
# beside it the web page's files, zipped for a static host.
dist: deps configure-windows configure-web
	cmake --build --preset windows -j $(JOBS) --target Lumivane.gau lumivane-bench
	cmake --build --preset web -j 2
	@tools/make-dist build/windows/Lumivane.gau build/windows/lumivane-bench.exe $(CURDIR)/dist
	@tools/make-web-dist build/web $(CURDIR)/dist

clean:
	rm -rf build
