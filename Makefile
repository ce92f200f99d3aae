# The front door. `make demo` and `make test` install what is missing first.
.PHONY: all deps gauge native windows test test-native test-windows demo dist clean

all: gauge

deps:
	@tools/install-deps

build/windows/CMakeCache.txt:
	cmake --preset windows

build/native/CMakeCache.txt:
	cmake --preset native

gauge: deps build/windows/CMakeCache.txt
	cmake --build --preset windows --target Lumivane.gau
	@echo "Built $(CURDIR)/build/windows/Lumivane.gau"

native: deps build/native/CMakeCache.txt
	cmake --build --preset native

windows: deps build/windows/CMakeCache.txt
	cmake --build --preset windows

test-native: native
	ctest --preset native

test-windows: windows
	ctest --preset windows

test: test-native test-windows

demo: gauge
	@echo "The demonstration comes with the bench."

dist: gauge
	@tools/make-dist build/windows/Lumivane.gau $(CURDIR)/dist

clean:
	rm -rf build
