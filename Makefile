# The README's commands. Everything installs what it needs first.
.PHONY: all build test lint run screenshot dist sign verify-release fuzz fuzz-merge fuzz-coverage mutants bench clean

all: build

build:
	scripts/install-deps.sh
	scripts/build.sh native win32 win32-clang

test:
	scripts/test.sh

# clang-format on every C++ file, clang-tidy and cppcheck on the program's code.
lint:
	scripts/install-deps.sh
	scripts/checks/lint.sh

# The 32-bit build plays, or its 64-bit twin where the kernel runs no i386 programs.
run:
	scripts/install-deps.sh
	scripts/build.sh $$(scripts/wine/runs-i386.sh && echo win32 || echo win64)
	scripts/wine/demo.sh

# Refreshes the README's picture of the dialog from a headless run.
screenshot:
	scripts/install-deps.sh
	scripts/build.sh $$(scripts/wine/runs-i386.sh && echo win32 || echo win64)
	env -u DISPLAY scripts/wine/demo.sh
	mkdir -p docs
	cp build/receiver.png docs/receiver.png

# The release for Windows users in build/dist: the zip, receiver.exe, the build
# record and SHA256SUMS. Only a release of a committed tree can be made again
# from its commit.
dist:
	scripts/install-deps.sh
	@if git rev-parse --git-dir >/dev/null 2>&1 && ! git diff --quiet HEAD --; then \
	  echo "dist: warning: changes not committed are in this release" >&2; fi
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 --target dist -j "$$(nproc)"

# Signs the release that make dist wrote in RELEASE=<folder>, in place, by one
# signer: PFX= with PFX_PASS_FILE=; PKCS11_MODULE=, KEY=, CERT= and PIN_FILE=;
# or SIGNED=<exe signed elsewhere>. TSA=<url> adds a time stamp.
# The values reach the scripts as they were given, through the environment:
# never through a shell line, nor expanded by make; and the recipes are not
# echoed, so nothing given here reaches a terminal or a log.
release_variables := PFX PFX_PASS_FILE PKCS11_MODULE KEY CERT PIN_FILE SIGNED TSA RELEASE REPO CAFILE SIGNER
$(foreach v,$(release_variables),$(eval override $(v) := $$(value $(v))))
export $(release_variables)
sign:
	@scripts/install-deps.sh
	@scripts/release/sign.sh

# What a rebuilder runs: makes the release again from the commit its build record
# names and compares the bytes, through the signature of a signed release.
# RELEASE=<folder or zip>; REPO= clones from elsewhere; CAFILE= trusts a private
# CA; SIGNER=<SHA-256 fingerprint> names the certificate it must be signed by.
verify-release:
	@scripts/install-deps.sh
	@scripts/release/verify.sh

fuzz:
	scripts/install-deps.sh
	scripts/build.sh fuzz
	FUZZ_SECONDS=$${FUZZ_SECONDS:-120} scripts/fuzz/run.sh

# Takes what the fuzz runs found into the kept, minimised corpus in fuzz/corpus.
fuzz-merge:
	scripts/install-deps.sh
	scripts/build.sh fuzz
	scripts/fuzz/merge.sh

# The coverage of scoring/ and trainer/ by the kept corpus, measured with clang's source coverage.
fuzz-coverage:
	scripts/install-deps.sh
	scripts/build.sh fuzz-coverage
	scripts/fuzz/coverage.sh

# Plants each fault of scripts/mutants/faults.txt in turn and reports which the tests catch.
mutants:
	scripts/install-deps.sh
	scripts/build.sh native win32 win64 fuzz
	nice -n 19 scripts/wine/with-display.sh scripts/mutants/run.sh

# Measures the 32-bit build, or its 64-bit twin where the kernel runs no i386 programs.
bench:
	scripts/install-deps.sh
	scripts/build.sh native win32 win64
	scripts/wine/no-idle-latency.sh scripts/wine/with-display.sh scripts/bench/run.sh

clean:
	rm -rf build
