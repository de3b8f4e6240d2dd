# Run as a script (cmake -P) before every link of receiver.exe: writes to
# OUTPUT the time that dates the program, in seconds since 1970, UTC. It is
# SOURCE_DATE_EPOCH when that is set, else the time of the last commit of the
# git clone at SOURCE_DIR. The file is rewritten only when the value changes,
# so the program is relinked then and only then.
if(DEFINED ENV{SOURCE_DATE_EPOCH} AND NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
  set(origin "SOURCE_DATE_EPOCH")
else()
  # Only a clone whose top is SOURCE_DIR itself, not one that merely holds it.
  execute_process(COMMAND git -C "${SOURCE_DIR}" rev-parse --show-toplevel
                  RESULT_VARIABLE status OUTPUT_VARIABLE top
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  file(REAL_PATH "${SOURCE_DIR}" source)
  if(status EQUAL 0)
    file(REAL_PATH "${top}" top)
  endif()
  if(NOT status EQUAL 0 OR NOT top STREQUAL source)
    message(FATAL_ERROR "${SOURCE_DIR} is not a git clone, so the program cannot be dated by "
                        "its last commit: set SOURCE_DATE_EPOCH (seconds since 1970, UTC).")
  endif()
  execute_process(COMMAND git -C "${SOURCE_DIR}" log -1 --format=%ct
                  RESULT_VARIABLE status OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(origin "the last commit")
endif()
if(NOT epoch MATCHES "^[0-9]+$" OR epoch GREATER 4294967295)
  message(FATAL_ERROR "No date for the program from ${origin}: '${epoch}' is not a number of "
                      "seconds since 1970 that a 32-bit PE time stamp can hold.")
endif()

set(old "")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL "${epoch}\n")
  file(WRITE "${OUTPUT}" "${epoch}\n")
endif()
