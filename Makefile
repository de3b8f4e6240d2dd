# The README's commands. Everything installs what it needs first.
.PHONY: all build test run fuzz bench clean

all: build

build:
	scripts/install-deps.sh
	scripts/build.sh native win32

test:
	scripts/test.sh

run:
	scripts/install-deps.sh
	scripts/build.sh win32
	scripts/run.sh

fuzz:
	scripts/install-deps.sh
	scripts/build.sh fuzz
	FUZZ_SECONDS=$${FUZZ_SECONDS:-120} scripts/fuzz.sh

bench:
	scripts/install-deps.sh
	scripts/build.sh native win32
	scripts/with-display.sh scripts/bench.sh

clean:
	rm -rf build
