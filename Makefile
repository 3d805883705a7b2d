# The two everyday commands are `make run` and `make test`; both install what is missing first.
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE   ?= cmake
FUZZ_SECONDS ?= 60
PREFIX  ?= /usr/local
DESTDIR ?=

.PHONY: all deps deps-web build build-web web run release install uninstall deb test test-web test-sanitize bench fuzz \
	format clean

all: build

deps:
	@bash tools/install-deps.sh

# The browser edition's toolchain, browser and test driver, installed only when missing.
deps-web:
	@bash tools/install-deps.sh web

build: deps
	$(CMAKE) -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
	$(CMAKE) --build build -j $(JOBS)

# The browser edition, built by emscripten in build-web/; its page lands in build-web/web/.
# Debian's emscripten runs its tools under the system's Node.js and looks for their modules there.
WEB_PORT ?= 8021
EMSCRIPTEN_ENV = NODE_PATH=/usr/share/nodejs
build-web: deps-web
	$(EMSCRIPTEN_ENV) emcmake $(CMAKE) -S . -B build-web -DCMAKE_BUILD_TYPE=Release
	$(EMSCRIPTEN_ENV) $(CMAKE) --build build-web -j $(JOBS)

# Serves the page on this machine only; any static server will do for publishing it.
web: build-web
	@echo "Mosaiq in the browser: http://127.0.0.1:$(WEB_PORT)/"
	python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory build-web/web

# `make run ARGS=path/to/program.mq` starts the editor on that program.
run: build
	./build/startup/mosaiq $(ARGS)

# What is installed and packaged is a Release build of its own, with the distribution's hardening
# (see cmake/Hardening.cmake).
release: deps
	$(CMAKE) -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DMOSAIQ_HARDEN=ON
	$(CMAKE) --build build-release -j $(JOBS)

# Installs under $(PREFIX) (default /usr/local), staged below $(DESTDIR) when that is set;
# uninstall removes what the last install put there. See tools/install.sh.
install: release
	DESTDIR="$(DESTDIR)" bash tools/install.sh install build-release "$(PREFIX)"

uninstall:
	DESTDIR="$(DESTDIR)" bash tools/install.sh uninstall build-release "$(PREFIX)"

# The Debian package, in build-release/.
deb: release
	cd build-release && cpack -G DEB

# Every suite, the browser edition's (label web) among them: it drives the page build-web/ holds
# in headless Chromium. `make test-web` runs that one alone.
test: build build-web
	cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-web: build build-web
	cd build && ctest --output-on-failure -L web

test-sanitize: deps
	$(CMAKE) -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMOSAIQ_SANITIZE=ON
	$(CMAKE) --build build-asan -j $(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
	    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --output-on-failure -j $(JOBS) -LE 'e2e|package|web'

bench: deps
	$(CMAKE) -S . -B build-release -DCMAKE_BUILD_TYPE=Release
	$(CMAKE) --build build-release -j $(JOBS) --target benchmarks
	@bash bench/run-benchmarks.sh build-release

fuzz: deps
	CC=clang CXX=clang++ $(CMAKE) -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOSAIQ_FUZZ=ON
	$(CMAKE) --build build-fuzz -j $(JOBS) --target fuzz_strip_reader
	mkdir -p fuzz-out
	./build-fuzz/tests/fuzz/fuzz_strip_reader -max_total_time=$(FUZZ_SECONDS) -max_len=16384 \
	    -artifact_prefix=fuzz-out/ fuzz-out tests/fuzz/corpus

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-release build-fuzz build-web
