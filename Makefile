# Front door: `make run` and `make test`. Both install what is missing, then configure and build.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
LAUNCHER := $(shell command -v ccache >/dev/null 2>&1 && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

CLANG_BUILD_DIR ?= build-clang

.PHONY: all deps configure build run test bench verify package install clean clang-check clang-check-core

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
		$(if $(LAUNCHER),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache,) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD_DIR)

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

verify: build
	@$(BUILD_DIR)/tools/kalvex-verify docs examples

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

package: build
	@cd $(BUILD_DIR) && cpack -G DEB

install: build
	@cmake --install $(BUILD_DIR) $(if $(PREFIX),--prefix $(PREFIX),)

# The libraries built with clang (same floating-point flags), then SeriesHash on its solver:
# every bit of every series as with GCC. clang-check-core builds only the core library and its
# tests, the part with the vector code, short enough to run in CI.
CLANG_CONFIGURE = cmake -S . -B $(CLANG_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++ \
	$(if $(LAUNCHER),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache,) >/dev/null
CLANG_SERIES_HASH = $(CLANG_BUILD_DIR)/tests/core/core_tests --gtest_filter='SeriesHash.*' --gtest_brief=1

clang-check: deps
	@$(CLANG_CONFIGURE)
	@cmake --build $(CLANG_BUILD_DIR) -j $(JOBS) --target kalvex_libraries core_tests
	@$(CLANG_SERIES_HASH)

clang-check-core: deps
	@$(CLANG_CONFIGURE)
	@cmake --build $(CLANG_BUILD_DIR) -j $(JOBS) --target core_tests
	@$(CLANG_SERIES_HASH)

clean:
	@rm -rf $(BUILD_DIR)
