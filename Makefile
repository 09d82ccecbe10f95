# Memro: `make run` starts the program on the example file; `make test` builds and
# runs every test. Both install what they need first.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
RELEASE_BUILD ?= build-release
# Warnings are errors in every build made here; a plain CMake build only warns.
WERROR = -DMEMRO_WERROR=ON
VERSION = $(shell awk '/^project/ { print $$3 }' CMakeLists.txt)
DEB = $(RELEASE_BUILD)/memro_$(VERSION)_amd64.deb
JOBS ?= $(shell nproc)
CLI = $(BUILD)/src/cli/memro-cli
GUI = $(BUILD)/src/app/gui/memro
EXAMPLE = examples/events.mmo

# The whole suite with HOME and TMPDIR at empty directories of its own and no XDG_CONFIG_HOME:
# afterwards both must still be empty (no test reaches the user's files).
.PHONY: all deps configure build test test-isolation test-sanitize run run-cli screenshots format clean fuzz bench
.PHONY: release release-build install-check deb deb-check

FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = fuzz_editor_load fuzz_scan fuzz_dates fuzz_settings fuzz_cli_dump fuzz_ical
BENCH_BUILD ?= build-bench

all: build

deps:
	@scripts/bootstrap

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(WERROR)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-isolation: build
	@home=$$(mktemp -d) && tmp=$$(mktemp -d) && \
	env -u XDG_CONFIG_HOME -u XDG_RUNTIME_DIR -u MEMRO_HOME -u TEMP HOME=$$home TMPDIR=$$tmp \
	  ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) && \
	left=$$(find $$home $$tmp -mindepth 1) && rm -rf $$home $$tmp && \
	if [ -n "$$left" ]; then echo "Tests left files in HOME or TMPDIR:"; echo "$$left"; exit 1; fi

test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMEMRO_SANITIZE=ON $(WERROR)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

# Starts the program on a copy of the example file (a scan may rewrite the file it
# loads), with settings of its own under $(BUILD)/home. Without a display it runs under
# xvfb-run, which shows nothing but lets the program run as it would on a desktop.
run: build
	mkdir -p $(BUILD)/home
	cp $(EXAMPLE) $(BUILD)/home/events.mmo
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  MEMRO_HOME=$(CURDIR)/$(BUILD)/home $(GUI) $(CURDIR)/$(BUILD)/home/events.mmo; \
	else \
	  echo "No display: running under xvfb-run (stop it with Ctrl+C)"; \
	  MEMRO_HOME=$(CURDIR)/$(BUILD)/home xvfb-run -a $(GUI) $(CURDIR)/$(BUILD)/home/events.mmo; \
	fi

# Today's reminders of the example file in the terminal, leaving the file as it is.
run-cli: build
	$(CLI) report $(EXAMPLE) --dry-run

# The README's pictures of the windows, taken under Xvfb.
screenshots: build
	scripts/screenshots $(GUI)

format:
	clang-format -i $$(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h')

clean:
	rm -rf --one-file-system $(BUILD) $(SANITIZE_BUILD) $(RELEASE_BUILD)

# Runs every fuzz target for FUZZ_SECONDS seconds on its committed corpus; what the fuzzer
# learns goes to $(FUZZ_BUILD)/corpus, a finding to $(FUZZ_BUILD)/findings and fails the run.
fuzz: deps
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(WERROR) \
	  -DMEMRO_FUZZ=ON -DMEMRO_BUILD_TESTS=OFF -DMEMRO_BUILD_GUI=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/findings/$$t; \
	  echo "fuzz: $$t for $(FUZZ_SECONDS) s"; \
	  if ! $(FUZZ_BUILD)/tests/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -max_len=8192 \
	      -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
	      -artifact_prefix=$(FUZZ_BUILD)/findings/$$t/ \
	      $(FUZZ_BUILD)/corpus/$$t tests/fuzz/corpus/$$t > $(FUZZ_BUILD)/$$t.log 2>&1; then \
	    tail -n 40 $(FUZZ_BUILD)/$$t.log; echo "fuzz: $$t found a fault"; exit 1; \
	  fi; \
	  grep -E '^stat::(number_of_executed_units|new_units_added)' $(FUZZ_BUILD)/$$t.log; \
	done

bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(WERROR) \
	  -DMEMRO_BUILD_BENCH=ON -DMEMRO_BUILD_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS) \
	  --target memro-cli memro_bench memro_bench_process memro_bench_window
	$(BENCH_BUILD)/tests/bench/memro_bench
	$(BENCH_BUILD)/tests/bench/memro_bench_process $(BENCH_BUILD)/src/cli/memro-cli
	$(BENCH_BUILD)/tests/bench/memro_bench_window $(EXAMPLE)
	/usr/bin/python3 tests/bench/sync_bench.py $(BENCH_BUILD)/src/cli/memro-cli

# The optimised build a package is made from (-O3); `make release` runs every test on it.
release-build: deps
	cmake -S . -B $(RELEASE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(WERROR)
	cmake --build $(RELEASE_BUILD) -j $(JOBS)

release: release-build
	ctest --test-dir $(RELEASE_BUILD) --output-on-failure -j $(JOBS)

# Installs the release build under $(RELEASE_BUILD)/install-check as a package would and
# checks the desktop entry, metainfo, file types, icon and manual pages.
install-check: release-build
	scripts/install-check $(RELEASE_BUILD)

# The Debian package memro_$(VERSION)_amd64.deb in $(RELEASE_BUILD).
deb: release-build
	cd $(RELEASE_BUILD) && cpack -G DEB

# Installs the package with apt into a fresh Debian 12 chroot (kept in
# $(RELEASE_BUILD)/deb-check) and runs both programs there; lintian on the package.
deb-check:
	@test -f $(DEB) || { echo "No $(DEB): run make deb first"; exit 1; }
	scripts/deb-check $(DEB)
