# Thin wrapper over CMake presets. Every entry point installs dependencies first.
.PHONY: deps configure build test test-sanitize bench run screenshots fuzz clean

JOBS ?= $(shell nproc)
WERROR ?= $(or $(REVEZE_WERROR),OFF)

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset dev -DREVEZE_WERROR=$(WERROR) >/dev/null

build: configure
	@cmake --build --preset dev -j $(JOBS)

test: build
	@ctest --preset dev -j $(JOBS)

test-sanitize: deps
	@cmake --preset sanitize -DREVEZE_WERROR=$(WERROR) >/dev/null
	@cmake --build --preset sanitize -j $(JOBS)
	@ctest --preset sanitize -j $(JOBS)

bench: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)
	@scripts/run-bench build/release

run: build
	@scripts/run-reveze build/dev

screenshots: build
	@scripts/render-screenshots build/dev

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)

clean:
	rm -rf build
