# Front door: `make demo`, `make test`, `make build`, `make bench`, `make gui`.
.PHONY: all deps build build-native build-windows test test-windows test-asan test-fuzz fuzz demo bench gui clean

JOBS ?= $(shell nproc 2>/dev/null || echo 2)

all: build

deps:
	@scripts/install-deps.sh

build: build-native build-windows

# varnel-stamp and the test programs for this machine, in build/native/bin.
build-native: deps
	cmake --preset native
	cmake --build --preset native -j $(JOBS)

# varnel.exe and varnel-stamp.exe in build/windows/bin, cross-built with mingw-w64.
build-windows: deps
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS)

test: build
	ctest --preset native -j $(JOBS)
	@$(MAKE) --no-print-directory test-windows test-asan test-fuzz

# The Windows test programs under Wine on a virtual display, one at a time;
# screenshots of the window land in build/windows/screenshots.
test-windows: build-windows
	cmake/run-windows-tests

# The whole native suite again under AddressSanitizer and UBSan (any report
# fails it), and a short run of every fuzz target on its seed corpus.
test-asan: deps
	cmake --preset native-asan
	cmake --build --preset native-asan -j $(JOBS)
	ctest --preset native-asan -j $(JOBS)

test-fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	ctest --preset fuzz -j $(JOBS)

# Every fuzz target for FUZZ_SECONDS seconds (default 600) each.
FUZZ_SECONDS ?= 600
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	@fuzz/run.sh build/fuzz $(FUZZ_SECONDS)

demo: build-native
	@scripts/demo.sh

# Not part of `make test`: takes minutes and measures, it does not judge.
bench: build
	@scripts/bench.sh

# The window under Wine, on this machine's display (a virtual one without).
gui: build-windows
	cmake/wine-run build/windows/wineprefix build/windows/bin/varnel.exe

clean:
	rm -rf build
