# Toolchain for 32-bit Windows with Debian's MinGW-w64 (posix thread model, so
# GoogleTest builds); programs built with it run here under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
# windres preprocesses with the compiler above, not with whichever
# i686-w64-mingw32-gcc the system's alternatives point at.
set(CMAKE_RC_FLAGS_INIT "--preprocessor=i686-w64-mingw32-gcc-posix")
string(APPEND CMAKE_RC_FLAGS_INIT " --preprocessor-arg=-E --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED")
set(CMAKE_OBJDUMP i686-w64-mingw32-objdump CACHE FILEPATH "")
set(CMAKE_STRIP i686-w64-mingw32-strip CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine/run.sh)
