# Memro: `make run` shows today's reminders of the example file; `make test` builds and
# runs every test. Both install what they need first.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
CLI = $(BUILD)/src/cli/memro-cli
EXAMPLE = examples/events.mmo

.PHONY: all deps configure build test test-sanitize run format clean

all: build

deps:
	@scripts/bootstrap

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMEMRO_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

# Reports on the example without changing it: the scan would otherwise rewrite it.
run: build
	$(CLI) report $(EXAMPLE) --dry-run

format:
	clang-format -i $$(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h')

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
