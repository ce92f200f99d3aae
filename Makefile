# The front door. `make demo` and `make test` install what is missing first.
MAKEFLAGS += --no-print-directory
# As many jobs as the machine has processors, for builds and tests alike.
JOBS := $(shell nproc 2>/dev/null || echo 2)
.PHONY: all deps gauge native windows test test-native test-windows demo dist clean

all: gauge

deps:
	@tools/install-deps

build/windows/CMakeCache.txt:
	cmake --preset windows

build/native/CMakeCache.txt:
	cmake --preset native

gauge: deps build/windows/CMakeCache.txt
	cmake --build --preset windows -j $(JOBS) --target Lumivane.gau
	@echo "Built $(CURDIR)/build/windows/Lumivane.gau"

native: deps build/native/CMakeCache.txt
	cmake --build --preset native -j $(JOBS)

windows: deps build/windows/CMakeCache.txt
	cmake --build --preset windows -j $(JOBS)

test-native: native
	ctest --preset native -j $(JOBS)

# Wine's server and services outlive the test programs; they are stopped so
# that nothing of the run is left behind.
WINE_STOP := WINEPREFIX=$(CURDIR)/build/windows/wine/prefix wineserver -k 2>/dev/null || true

test-windows: windows
	ctest --preset windows -j $(JOBS); status=$$?; $(WINE_STOP); exit $$status

test: test-native test-windows

DEMO := build/windows/tests/module

# A short take-off flown through the stand-in host under Wine, with Wine's
# DirectSound recording into a WAV file instead of a sound card.
demo: deps build/windows/CMakeCache.txt
	cmake --build --preset windows -j $(JOBS) --target Lumivane.gau takeoff_demo
	@echo "Built $(CURDIR)/build/windows/Lumivane.gau"
	@rm -f $(DEMO)/demo-home/capture.wav
	HOME=$(CURDIR)/$(DEMO)/demo-home cmake/wine-run $(CURDIR)/build/windows/wine $(DEMO)/takeoff_demo.exe; \
	status=$$?; $(WINE_STOP); exit $$status
	@echo "The sound card's output: $(CURDIR)/$(DEMO)/demo-home/capture.wav"

dist: gauge
	@tools/make-dist build/windows/Lumivane.gau $(CURDIR)/dist

clean:
	rm -rf build
