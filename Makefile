# The two entry points of the README. Both install what is missing first (scripts/setup).
.PHONY: all setup build run test bench package install clean

RELEASE_DIR := build/release
PREFIX ?= /usr/local
TEST_DIR := build/test
JOBS ?= $(shell nproc)

all: build

setup:
	bash scripts/setup

build: setup
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBXW_TESTS=OFF
	cmake --build $(RELEASE_DIR) -j $(JOBS)

run: build
	$(RELEASE_DIR)/boxwright

# Debug build with AddressSanitizer and UndefinedBehaviorSanitizer; every test runs offscreen.
test: setup
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBXW_SANITIZE=ON -DBXW_TESTS=ON
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The Release build installed in the GNU layout under PREFIX (DESTDIR is honoured).
install: build
	DESTDIR=$(DESTDIR) cmake --install $(RELEASE_DIR) --prefix $(PREFIX)

# A Debian package of the Release build, dependencies found by dpkg-shlibdeps:
# build/release/boxwright_<version>_<arch>.deb
package: build
	cmake --build $(RELEASE_DIR) --target package

bench: setup
	cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DBXW_TESTS=OFF -DBXW_BENCH=ON
	cmake --build build/bench -j $(JOBS)

clean:
	rm -rf build
