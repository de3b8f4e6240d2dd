# Toolchain for 64-bit Windows with Debian's MinGW-w64 (posix thread model):
# the twin of every Windows program, from the same sources, whose tests run
# under 64-bit Wine where a kernel runs no i386 programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
# windres preprocesses with the compiler above (see cmake/mingw-i686.cmake).
set(CMAKE_RC_FLAGS_INIT "--preprocessor=${triple}-gcc-posix")
string(APPEND CMAKE_RC_FLAGS_INIT " --preprocessor-arg=-E --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED")
set(CMAKE_OBJDUMP ${triple}-objdump CACHE FILEPATH "")
set(CMAKE_STRIP ${triple}-strip CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The wrapper picks 64-bit Wine and its own prefix from the program's machine type.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine/run.sh)
