# Toolchain for 32-bit Windows with Debian's clang 14 as a second compiler:
# clang targets i686-w64-mingw32 and uses the MinGW-w64 headers, libraries and
# GNU linker of the gcc toolchain (cmake/mingw-i686.cmake). Clang does not find
# GCC's folders by itself, so they are named here.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(triple i686-w64-mingw32)
set(gcc_dir /usr/lib/gcc/${triple}/12-posix)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${triple})
set(CMAKE_CXX_COMPILER_TARGET ${triple})
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_OBJDUMP ${triple}-objdump CACHE FILEPATH "")
set(CMAKE_STRIP ${triple}-strip CACHE FILEPATH "")

# GCC's C++ headers (posix thread model); the C headers in /usr/${triple}/include clang finds.
set(CMAKE_CXX_FLAGS_INIT "-isystem ${gcc_dir}/include/c++ -isystem ${gcc_dir}/include/c++/${triple}")
# The GNU linker and GCC's runtime libraries. -pthread puts winpthread into the
# group of MinGW libraries, after libstdc++ and libgcc_eh, which need it.
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-fuse-ld=bfd -B/usr/bin/${triple}- -L${gcc_dir} -L/usr/${triple}/lib -pthread")
endforeach()

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine/run.sh)
