# make run  - build, install Velmora.msi into Wine and start Velmora (a screenshot without a display)
# make test - build everything and run every test (native, fuzzing, Wine; the 32-bit build its share)
# make test-all - the same with the whole Windows suite on the 32-bit build too
# make soak - 200 rounds of the main window with its resources counted, and a million-file search (not part of make test)
# make promise - the search page's selection checked after each of 5000 random user steps (not part of make test)
# make fuzz - each parser of outside input fuzzed for ten minutes (not part of make test)
BUILD  ?= build
NATIVE := $(BUILD)/native
NATIVE_TSAN := $(BUILD)/native-tsan
WIN32  := $(BUILD)/win32
WIN64  := $(BUILD)/win64
JOBS   ?= 2
# The Windows build that run, bench, soak and screenshots use: the 32-bit one where
# this machine runs 32-bit programs, else the 64-bit one. WINDOWS_BUILD=win64 chooses.
WINDOWS_BUILD ?= $(shell tools/runs-32bit.sh && echo win32 || echo win64)
WINDOWS := $(BUILD)/$(WINDOWS_BUILD)
SAY_BUILD = @echo "$@: the $(if $(filter win64,$(WINDOWS_BUILD)),64,32)-bit build, $(WINDOWS)"

.PHONY: all setup build test test-all run bench soak promise fuzz screenshots clean

all: build

setup:
	tools/setup.sh

NATIVE_CONFIGURE := cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
                    -DCMAKE_CXX_COMPILER=clang++
FUZZ_SECONDS ?= 600

build: setup
	$(NATIVE_CONFIGURE)
	cmake --build $(NATIVE)
	cmake -S . -B $(NATIVE_TSAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
	      -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_THREAD_SANITIZER=ON
	cmake --build $(NATIVE_TSAN) --target threading_tests
	cmake -S . -B $(WIN32) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
	cmake --build $(WIN32)
	cmake -S . -B $(WIN64) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
	cmake --build $(WIN64)

test: build
	tools/test.sh $(BUILD) $(JOBS)

test-all: build
	tools/test.sh $(BUILD) $(JOBS) --all

# Figures depend on the machine; the deletion half consumes its tree, so each run makes it anew.
bench: build
	cmake -S . -B $(BUILD)/native-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=clang \
	      -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_TESTS=OFF -DVELMORA_SANITIZE=OFF
	cmake --build $(BUILD)/native-bench --target velmora_row_bench
	$(BUILD)/native-bench/bench/velmora_row_bench
	python3 bench/make-tree.py /dev/shm/velmora-bench
	$(SAY_BUILD)
	tools/wine-run.sh $(CURDIR)/$(WINDOWS)/wineprefix $(WINDOWS)/bench/velmora_bench.exe 'Z:\dev\shm\velmora-bench'; \
	    status=$$?; rm -rf /dev/shm/velmora-bench; python3 tests/fixtures/make-trees.py --trash; exit $$status

# make test plays 300 steps of one seed; this plays PROMISE_STEPS of each of PROMISE_SEEDS seeds.
PROMISE_SEEDS ?= 5
PROMISE_STEPS ?= 1000
promise: build
	$(SAY_BUILD)
	VELMORA_PROMISE_SEEDS=$(PROMISE_SEEDS) VELMORA_PROMISE_STEPS=$(PROMISE_STEPS) \
	    tools/wine-run.sh $(CURDIR)/$(WINDOWS)/wineprefix $(WINDOWS)/tests/velmora_tests.exe \
	        --gtest_filter='PromiseTest.*'

# The trees live in memory; the tree script tops the soak's tree up beside it, natively.
SOAK_TREES := /dev/shm/velmora-soak
SOAK_ROUNDS ?= 200
soak: build
	$(SAY_BUILD)
	python3 tests/soak/make-soak-trees.py $(SOAK_TREES)
	python3 tests/soak/make-soak-trees.py --serve $(SOAK_TREES) & server=$$!; \
	    tools/wine-run.sh $(CURDIR)/$(WINDOWS)/wineprefix $(WINDOWS)/tests/soak/velmora_soak.exe \
	        'Z:$(subst /,\,$(SOAK_TREES))' $(SOAK_ROUNDS); \
	    status=$$?; kill $$server; rm -rf $(SOAK_TREES); exit $$status

# Starts from the committed seeds and what earlier runs kept in the build folder;
# a crashing input is written beside the targets.
fuzz: setup
	$(NATIVE_CONFIGURE)
	cmake --build $(NATIVE) --target settings_fuzz version_fuzz
	for target in settings version; do \
	    $(NATIVE)/fuzz/$${target}_fuzz -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	        -artifact_prefix=$(NATIVE)/fuzz/$$target- $(NATIVE)/fuzz/corpus/$$target fuzz/corpus/$$target || exit 1; \
	done

run: build
	$(SAY_BUILD)
	tools/run.sh $(WINDOWS)

# Every page at 100 % and 150 %, into docs/screenshots.
screenshots: build
	$(SAY_BUILD)
	tools/screenshots.sh $(WINDOWS)

clean:
	rm -rf $(BUILD)
