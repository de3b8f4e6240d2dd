# Shared build settings: warnings, the sanitizer interface for native tests,
# the program's size settings, static linking for every Windows executable,
# and GoogleTest for both builds.

# The Windows architecture of this build as manifests name it: x86 for the
# 32-bit program that ships, amd64 for its 64-bit twin.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(RECEIVER_ARCH amd64)
else()
  set(RECEIVER_ARCH x86)
endif()

add_library(receiver_warnings INTERFACE)
target_compile_options(receiver_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion)

# Native unit tests link this to run under ASan and UBSan.
add_library(receiver_sanitize INTERFACE)
if(RECEIVER_SANITIZE AND NOT WIN32)
  target_compile_options(receiver_sanitize INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(receiver_sanitize INTERFACE -fsanitize=address,undefined)
endif()

# The program's own code (its libraries and receiver.exe) in the Windows build:
# no exceptions and no RTTI, so none of the C++ runtime's unwinder is linked,
# and code optimised for size in sections the linker can drop one by one. The
# tests that link these libraries keep their exceptions.
add_library(receiver_program INTERFACE)
if(WIN32)
  target_compile_options(receiver_program INTERFACE -Os -fno-exceptions -fno-rtti
    -fno-threadsafe-statics -fno-asynchronous-unwind-tables -ffunction-sections -fdata-sections)
endif()

# The clang build holds the program's code to its warnings.
option(RECEIVER_WERROR "Make warnings errors in the program's own code" OFF)
if(RECEIVER_WERROR)
  target_compile_options(receiver_program INTERFACE -Werror)
endif()

if(WIN32)
  # No libstdc++-6.dll, libgcc_s or libwinpthread: the executables need nothing but Windows.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# GoogleTest: the installed package natively; built from Debian's sources for Windows.
if(WIN32)
  if(NOT TARGET gtest)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
  set(RECEIVER_GTEST gtest)
  set(RECEIVER_GTEST_MAIN gtest_main)
else()
  find_package(GTest REQUIRED)
  set(RECEIVER_GTEST GTest::gtest)
  set(RECEIVER_GTEST_MAIN GTest::gtest_main)
endif()

# receiver_test(NAME source... [LIBS lib...] [LABELS label...] [TIMEOUT s])
# A GoogleTest executable registered with ctest; under the Windows build ctest
# runs it through the Wine wrapper (the cross-compiling emulator).
function(receiver_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${RECEIVER_GTEST_MAIN} ${RECEIVER_GTEST} receiver_warnings)
  if(NOT WIN32)
    target_link_libraries(${name} PRIVATE receiver_sanitize)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# Called at the end of a directory's list file: in a Windows build every test
# there runs under Wine and gets the label wine, but for the checks of built
# files on this machine, whose names begin with win32_. Where the kernel runs
# no i386 programs, make test runs a 32-bit build's wine suites in an emulated
# guest (those also labelled guest) or leaves them to the 64-bit twin.
function(receiver_label_wine_suites)
  get_directory_property(tests TESTS)
  foreach(test IN LISTS tests)
    if(WIN32 AND NOT test MATCHES "^win32_")
      set_property(TEST ${test} APPEND PROPERTY LABELS wine)
    endif()
  endforeach()
endfunction()
