# The front door. `make demo` and `make test` install what is missing first.
MAKEFLAGS += --no-print-directory
# As many jobs as the machine has processors, for builds and tests alike.
JOBS := $(shell nproc 2>/dev/null || echo 2)
.PHONY: all deps configure-native configure-windows gauge native windows test test-native test-windows demo dist figures clean

all: gauge

deps:
	@tools/install-deps

# Configured every time, which takes a moment: a build that only regenerated
# itself during `cmake --build` would not yet know targets added since.
configure-windows:
	@cmake --preset windows >/dev/null

configure-native:
	@cmake --preset native >/dev/null

gauge: deps configure-windows
	cmake --build --preset windows -j $(JOBS) --target Lumivane.gau
	@echo "Built $(CURDIR)/build/windows/Lumivane.gau"

native: deps configure-native
	cmake --build --preset native -j $(JOBS)

windows: deps configure-windows
	cmake --build --preset windows -j $(JOBS)

test-native: native
	ctest --preset native -j $(JOBS)

# Wine's server and services outlive the test programs; they are stopped so
# that nothing of the run is left behind.
WINE_STOP := WINEPREFIX=$(CURDIR)/build/windows/wine/prefix wineserver -k 2>/dev/null || true

test-windows: windows
	ctest --preset windows -j $(JOBS); status=$$?; $(WINE_STOP); exit $$status

test: test-native test-windows

DEMO := $(CURDIR)/build/demo

# A take-off flown through the bench under Wine, with Wine's real DirectSound
# recorded by ALSA's file device; everything it leaves is in one folder, whose
# path is the last line printed.
demo: deps configure-windows
	cmake --build --preset windows -j $(JOBS) --target Lumivane.gau lumivane-bench
	@rm -rf $(DEMO)
	@bench/run-bench build/windows/Lumivane.gau --scenario bench/scenarios/takeoff.txt --out $(DEMO)
	@echo
	@echo "What to look at, in the folder below:"
	@echo "  events.jsonl  one line a pass: airspeed, lamps, marks, readout, call-outs started, speeds"
	@echo "  sound.wav     what Wine's DirectSound played: single, single and double beep"
	@echo "  settings/     the gauge's settings files (its C:\\pelmo, C:\\pelmo1, C:\\pelmo2)"
	@echo "$(DEMO)"

# The figures of speed, size and reliability, regenerated into
# build/figures/figures.md (tools/figures says what is in it). The long runs'
# lengths: seconds of each fuzzer, presses of the settings storm, take-offs of
# the soak, passes counted by callgrind, repetitions of the benchmark.
FIGURES_FUZZ_SECONDS ?= 300
FIGURES_STORM_PRESSES ?= 100000
FIGURES_SOAK_TAKEOFFS ?= 10000
FIGURES_PASSES ?= 1000000
FIGURES_REPETITIONS ?= 10

figures: deps
	@FIGURES_FUZZ_SECONDS=$(FIGURES_FUZZ_SECONDS) FIGURES_STORM_PRESSES=$(FIGURES_STORM_PRESSES) \
	FIGURES_SOAK_TAKEOFFS=$(FIGURES_SOAK_TAKEOFFS) FIGURES_PASSES=$(FIGURES_PASSES) \
	FIGURES_REPETITIONS=$(FIGURES_REPETITIONS) tools/figures

dist: gauge
	@tools/make-dist build/windows/Lumivane.gau $(CURDIR)/dist

clean:
	rm -rf build
