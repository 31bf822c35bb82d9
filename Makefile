# Set-up, build, run and test in one command each, on Debian 12.
#   make run            install what is missing, build the program alone (quietly), start it
#   make test           install what is missing, build, run every test (plain and sanitized)
#   make test-plain     only the plain build's tests
#   make test-sanitize  only the AddressSanitizer/UndefinedBehaviorSanitizer build's tests
#   make bench          build the benchmarks in their own Release folder and run every one
#   make fuzz           build the image reader's fuzzer with clang and run it for two minutes
#   make soak           thousands of random scripted sessions (the short run is part of make test)
#   make screenshots    the user guide's pictures, remade under a virtual display
#   make install        the program, its menu entry, icon and user guide under PREFIX (/usr/local)
#   make uninstall      removes exactly what the last make install put in place (same DESTDIR)

BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
FUZZ_DIR ?= build-fuzz
BENCH_DIR ?= build-bench
PREFIX ?= /usr/local
DESTDIR ?=
JOBS ?= $(shell nproc)

# What the program needs to build and run; the tests and benchmarks need the rest as well.
RUN_PACKAGES := cmake make g++ pkg-config qt6-base-dev qt6-svg-dev libgl-dev fonts-dejavu-core \
                fonts-liberation libcfitsio-dev zlib1g-dev libeigen3-dev liberfa-dev libcli11-dev
PACKAGES := $(RUN_PACKAGES) libgtest-dev libgmock-dev libbenchmark-dev \
            cups printer-driver-cups-pdf poppler-utils \
            fitsverify python3-astropy python3-specutils python3-numpy python3-scipy \
            python3-matplotlib desktop-file-utils locales strace parallel
SCREENSHOT_PACKAGES := xvfb
FUZZ_PACKAGES := clang-14 libclang-rt-14-dev

# Headless tests: no display, fixed font resolution and locale.
TEST_ENV := QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96 LANG=C.UTF-8 \
            DBUS_SESSION_BUS_ADDRESS=disabled: CTEST_OUTPUT_ON_FAILURE=1

.PHONY: all deps run-deps build run test test-plain test-sanitize bench fuzz soak screenshots install \
        uninstall clean

all: build

deps:
	@PACKAGES="$(PACKAGES)" sh tools/install-packages.sh

run-deps:
	@PACKAGES="$(RUN_PACKAGES)" sh tools/install-packages.sh

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVIC_BUILD_TESTS=ON \
	  -DHALVIC_BUILD_BENCHMARKS=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The program and its libraries only, in the build folder make test uses, so that its objects
# serve both; the tests and benchmarks are built by make test and make bench. Asked for alone,
# make run does its work while the makefile is read (the packages, the build, the program), so
# that it ends as the program ends: 0, or 1 without a line of make's own when the program fails
# (no display, one it cannot open). Question mode is the one way make has of ending with 1.
ifeq ($(MAKECMDGOALS),run)
RUN_STATUS := $(shell PACKAGES="$(RUN_PACKAGES)" sh tools/install-packages.sh >&2 && \
  sh tools/build-program.sh $(BUILD_DIR) $(JOBS) >&2 && ./$(BUILD_DIR)/app/halvic >&2; echo $$?)
ifneq ($(RUN_STATUS),0)
MAKEFLAGS += -q
endif
run:
	@:
else
run: run-deps
	@sh tools/build-program.sh $(BUILD_DIR) $(JOBS)
	@./$(BUILD_DIR)/app/halvic
endif

test: test-plain test-sanitize

test-plain: build
	$(TEST_ENV) ctest --test-dir $(BUILD_DIR) -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DHALVIC_SANITIZE=ON \
	  -DHALVIC_BUILD_TESTS=ON -DHALVIC_BUILD_BENCHMARKS=OFF
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	$(TEST_ENV) ASAN_OPTIONS=detect_leaks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan-suppressions.txt:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(SANITIZE_DIR) -j $(JOBS)

# Benchmarks: Release (-O3 -DNDEBUG), the build docs/PERFORMANCE.md reports, in a folder of their
# own so that the RelWithDebInfo build of the tests stays as it is. Medians of 10 repetitions,
# the repetitions of a program's benchmarks interleaved so that a busy moment of the machine
# does not fall on one benchmark alone.
BENCH_ARGS ?= --benchmark_repetitions=10 --benchmark_report_aggregates_only=true \
              --benchmark_enable_random_interleaving=true

bench: deps
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DHALVIC_BUILD_BENCHMARKS=ON
	cmake --build $(BENCH_DIR) -j $(JOBS) --target halvic_benchmarks
	@for b in $(BENCH_DIR)/bench/*_bench; do echo "== $$b"; $$b $(BENCH_ARGS) || exit 1; done

# FITS images need inputs longer than libFuzzer's usual 4096 bytes; an input that takes 10 s is a
# fault like a crash. A single request for more memory than there is (a damaged header's) is
# refused as the C library would refuse it, while a run using more than 2 GB still fails.
FUZZ_ARGS ?= -max_len=20000 -timeout=10 -malloc_limit_mb=1048576

fuzz: deps
	@PACKAGES="$(FUZZ_PACKAGES)" sh tools/install-packages.sh
	CXX=clang++-14 cmake -S . -B $(FUZZ_DIR) -DHALVIC_BUILD_FUZZERS=ON -DHALVIC_BUILD_GUI=OFF \
	  -DHALVIC_BUILD_BENCHMARKS=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target halvic_image_reader_fuzzer
	mkdir -p fuzz-corpus
	$(FUZZ_DIR)/tests/fuzz/halvic_image_reader_fuzzer -max_total_time=120 $(FUZZ_ARGS) fuzz-corpus \
	  tests/imagefile/data

soak: build
	/usr/bin/python3 tests/soak/random_sessions.py $(BUILD_DIR)/tools/halvic_script/halvic-script . \
	  --sessions 5000 --actions 200

# The user guide's pictures (docs/user-guide/*.png): the desktop program walked along the guide's
# steps under Xvfb, in a temporary folder with a copy of the samples.
screenshots: deps
	@PACKAGES="$(SCREENSHOT_PACKAGES)" sh tools/install-packages.sh
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j $(JOBS) --target halvic-guide-screenshots
	sh tools/screenshots/make_screenshots.sh $(BUILD_DIR)/tools/screenshots/halvic-guide-screenshots \
	  . docs/user-guide

# CMake's install rules; DESTDIR, when set, is put before PREFIX (for packaging). The list of what
# was installed stays in $(BUILD_DIR)/install_manifest.txt, which make uninstall follows.
install: run-deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVIC_BUILD_TESTS=OFF \
	  -DHALVIC_BUILD_BENCHMARKS=OFF
	cmake --build $(BUILD_DIR) -j $(JOBS) --target halvic
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

uninstall:
	DESTDIR="$(DESTDIR)" cmake -DMANIFEST=$(BUILD_DIR)/install_manifest.txt -P cmake/Uninstall.cmake

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR) $(BENCH_DIR)
