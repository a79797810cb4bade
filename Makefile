# Front door: `make demo`, `make test`, `make build`, `make bench`.
.PHONY: all deps build test demo bench clean

JOBS ?= $(shell nproc 2>/dev/null || echo 2)

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset native
	cmake --build --preset native -j $(JOBS)

test: build
	ctest --preset native -j $(JOBS)

demo: build
	@scripts/demo.sh

# Not part of `make test`: takes minutes and measures, it does not judge.
bench: build
	@scripts/bench.sh

clean:
	rm -rf build
