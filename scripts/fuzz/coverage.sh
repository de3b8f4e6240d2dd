#!/usr/bin/env bash
# `make fuzz-coverage`: how much of the scoring and of the Trainer link's logic
# the kept fuzz corpus reaches. Each target of the fuzz-coverage preset (built
# with clang's source-based coverage) runs every input of fuzz/corpus/<target>
# once; llvm-cov reports the lines, regions and branches of scoring/ and
# trainer/ reached by all of them together.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
dir=build/fuzz-coverage
rm -f "$dir"/*.profraw
binaries=()
for target in "$dir"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  LLVM_PROFILE_FILE=$dir/$name.profraw "$target" -runs=0 "fuzz/corpus/$name" >"$dir/$name.log" 2>&1
  # llvm-cov takes the first binary as is and each further one after -object.
  if [ ${#binaries[@]} -eq 0 ]; then binaries=("$target"); else binaries+=(-object "$target"); fi
done
llvm-profdata-14 merge -sparse "$dir"/*.profraw -o "$dir/corpus.profdata"
llvm-cov-14 report -instr-profile "$dir/corpus.profdata" "${binaries[@]}" \
  "$PWD"/scoring/*.cpp "$PWD"/trainer/button_match.cpp "$PWD"/trainer/*_logic.cpp |
  sed "s|$PWD/||"
