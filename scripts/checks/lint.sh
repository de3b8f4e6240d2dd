#!/usr/bin/env bash
# Fails when clang-format (.clang-format) would change any of the project's C++
# files, or when clang-tidy (.clang-tidy) or cppcheck has a finding in the
# program's own code: scoring/, trainer/ and ui/ without their tests and tools.
# clang-tidy reads the win32-clang build's compile commands, which name the
# MinGW-w64 headers; that preset is configured first when it is not yet.
set -u
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
status=0
program=(scoring/*.cpp trainer/*.cpp ui/*.cpp)

mapfile -t sources < <(find . \( -path ./build -o -path ./.git \) -prune -o -type f \
  \( -name '*.cpp' -o -name '*.h' \) -print | sort)
clang-format --dry-run --Werror "${sources[@]}" || status=1

if [ ! -f build/win32-clang/compile_commands.json ]; then
  cmake --preset win32-clang >/dev/null || exit 1
fi
# The count of warnings clang saw in the system headers is noise.
printf '%s\n' "${program[@]}" |
  xargs -n 1 -P 2 clang-tidy -p build/win32-clang --quiet 2> >(grep -v 'warnings\? generated\.$' >&2) ||
  status=1

cppcheck --quiet --error-exitcode=1 --enable=warning,style,performance,portability --library=windows \
  --platform=win32A --std=c++17 --language=c++ --inline-suppr -I scoring -I trainer -I ui \
  "${program[@]}" || status=1

[ $status -eq 0 ] && echo "lint: ${#sources[@]} files formatted, ${#program[@]} program files clean"
exit $status
