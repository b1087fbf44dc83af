# Set-up and build entry points. Everything the project needs comes from Debian
# packages; `make deps` installs what is missing and does nothing otherwise.

BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
JOBS       ?= $(shell nproc)

PACKAGES := cmake ninja-build g++ make pkg-config ccache python3 \
	libjsoncpp-dev libboost-dev liblog4cplus-dev \
	libgtest-dev libgmock-dev libcurl4-openssl-dev libssl-dev libcrypto++-dev \
	libjpeg62-turbo-dev libpng-dev libgif-dev libtiff-dev zlib1g-dev \
	libheif-dev libwebp-dev libheif-examples webp libavif-bin libvips-tools \
	libcairo2-dev libpango1.0-dev fonts-wqy-microhei \
	clang libclang-rt-14-dev openssl binutils chromium firefox-esr php-cli \
	libsystemd-dev dpkg-dev clang-format

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build test test-sanitize demo demo-script clean package package-test format format-check

deps:
	@missing=$$(for p in $(PACKAGES); do \
		dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		$(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -q && \
		$(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build browser-deps
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The browser tests drive Debian's chromium through playwright-core, pinned by the
# lock file in tests/browser; ctest runs them when both are there.
.PHONY: browser-deps
browser-deps: deps
	@command -v npm >/dev/null || $(SUDO) env DEBIAN_FRONTEND=noninteractive \
		apt-get install -y --no-install-recommends nodejs npm
	cd tests/browser && npm ci --no-audit --no-fund --loglevel=error

# Benchmarks: every one in bench/, against the tools a user would pick instead, into
# one table, bench/out/report.md. Their tools and photographs are installed here, not
# by make deps: the tests need none of them. BENCH_FLAGS=--quick makes a smoke run.
BENCH_PACKAGES := libvips-tools mate-backgrounds curl hyperfine time imagemagick libjpeg-turbo-progs \
	libheif-examples libavif-bin webp python3
.PHONY: bench bench-deps
bench-deps:
	@$(MAKE) --no-print-directory deps PACKAGES="$(BENCH_PACKAGES)"

bench: build bench-deps
	python3 bench/run_all.py --build $(BUILD) $(BENCH_FLAGS)

# The thread-sanitized build makes only what the tests labelled "threads" run: their
# folders' test programs and the programs those tests start.
TSAN_TARGETS := tests_Platform tests_Com tests_Biz tests_Control tests_Gdiplus tests_Http \
	tests_Upload tests_Loading tests_Web Trellan64 trellan-post trellan-picture trellan-regsvr trellan-run \
	trellan-host trellan-session

test-sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTRELLAN_SANITIZE=address,undefined
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
		ctest --output-on-failure -j $(JOBS)
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTRELLAN_SANITIZE=thread
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(TSAN_TARGETS)
	cd $(TSAN_BUILD) && TSAN_OPTIONS=suppressions=$(CURDIR)/tests/tsan.supp \
		ctest --output-on-failure -j $(JOBS) -L threads

# The Debian package build/trellan_VERSION_amd64.deb (CPack; dpkg-shlibdeps names the
# dependencies).
package: build
	cd $(BUILD) && cpack -G DEB

# Installs the package on this machine (root only: CI), drives the demo page through a
# socket-activated installed trellan-host in Chromium, and purges it again. lintian is
# installed here rather than by make deps: it brings some thirty Perl packages that
# only this step needs.
PACKAGE_TEST_PACKAGES := lintian systemd man-db
package-test: package browser-deps
	@$(MAKE) --no-print-directory deps PACKAGES="$(PACKAGE_TEST_PACKAGES)"
	$(SUDO) tests/package/check_package.sh $(BUILD)/trellan_*_amd64.deb

# The demos register the built module in a store under the build folder, never in the
# user's own, and the containers find it there by its ProgID.
# make demo: the control in a web page. trellan-host serves the demo page with a demo
# upload receiver and sample photos under $(BUILD)/demo until Ctrl-C.
demo: build
	TRELLAN_REGISTRY_DIR=$(CURDIR)/$(BUILD)/registry ./$(BUILD)/bin/trellan-regsvr $(BUILD)/lib/libTrellan64.so
	mkdir -p $(BUILD)/demo/samples
	python3 tests/support/make_photos.py $(BUILD)/demo/samples 6 --size 1600x1200 --grain --prefix sample
	@echo "Open http://127.0.0.1:17328/demo/ in a browser; uploads land in $(BUILD)/demo/uploads."
	TRELLAN_REGISTRY_DIR=$(CURDIR)/$(BUILD)/registry ./$(BUILD)/bin/trellan-host --idle-exit 0 --demo $(CURDIR)/$(BUILD)/demo

# The scripted demo: trellan-run plays examples/demo.jsonl, then an upload through the
# control's view (photos added, the upload button pressed, screenshots written), then
# the same engine from the command line.
demo-script: build
	TRELLAN_REGISTRY_DIR=$(CURDIR)/$(BUILD)/registry ./$(BUILD)/bin/trellan-regsvr $(BUILD)/lib/libTrellan64.so
	TRELLAN_REGISTRY_DIR=$(CURDIR)/$(BUILD)/registry ./$(BUILD)/bin/trellan-run examples/demo.jsonl
	examples/view_demo.sh $(BUILD)
	examples/upload_demo.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD)

# Fuzz targets (only they) built with clang and libFuzzer; `make fuzz FUZZ_SECONDS=N` runs each
# for N seconds on a copy of its corpus. An input that makes one allocation of more
# than FUZZ_MALLOC_MB, or the process hold more than FUZZ_RSS_MB, counts as a fault:
# no input of at most 64 KiB has a reason to (the pixel limit is 256 MiB), and a
# decoder that believes a size a file claims is found that way.
FUZZ_BUILD     ?= build-fuzz
FUZZ_SECONDS   ?= 60
FUZZ_MALLOC_MB ?= 512
FUZZ_RSS_MB    ?= 2048
FUZZ_TARGETS   := $(basename $(notdir $(wildcard tests/fuzz/*Fuzz.cpp)))
.PHONY: fuzz
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DTRELLAN_FUZZ=ON -DTRELLAN_SANITIZE=address,undefined
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)
	for target in $(FUZZ_BUILD)/bin/*Fuzz; do \
		name=$$(basename $$target Fuzz); work=$(FUZZ_BUILD)/corpus/$$name; \
		mkdir -p $$work && cp -n tests/fuzz/corpus/$$name/* $$work/ 2>/dev/null; \
		$$target -max_total_time=$(FUZZ_SECONDS) -max_len=65536 -malloc_limit_mb=$(FUZZ_MALLOC_MB) \
			-rss_limit_mb=$(FUZZ_RSS_MB) $$work tests/fuzz/corpus/$$name || exit 1; \
	done

# Redraws the skin images in resources/png and the toolbox bitmap in resources/bitmap
# from resources/art (commit the files it changes) and writes an enlarged review
# sheet of them beside the build.
.PHONY: skin-art
skin-art: configure
	cmake --build $(BUILD) --target skin-art
	./$(BUILD)/bin/skin-art resources $(BUILD)/skin-sheet.png

# The C++ sources follow .clang-format; CI fails on any file that does not.
format: deps
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i

format-check: deps
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
