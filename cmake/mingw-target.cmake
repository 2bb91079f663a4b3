# What the cross builds share: the Windows target of the triple that the
# toolchain file set in CLEANER_MINGW_TRIPLE, where its libraries are found,
# and ctest running every Windows test program through Wine, its output
# through a file (see run-logged.sh).
set(CMAKE_SYSTEM_NAME Windows)
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR ${CLEANER_MINGW_TRIPLE})
set(CMAKE_RC_COMPILER ${CLEANER_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${CLEANER_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CLEANER_RUN_LOGGED ${CMAKE_CURRENT_LIST_DIR}/run-logged.sh)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  # Wine's 64-bit loader, called directly: Debian's wine wrapper takes the
  # 32-bit one whenever wine32 is installed, and a kernel may run no 32-bit
  # code at all. Only 64-bit prefixes, then.
  set(WINE_PROGRAM ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine64/wine)
  set(CLEANER_WINE_STATE_NAME wine64)
else()
  find_program(WINE_PROGRAM wine REQUIRED)
  set(CLEANER_WINE_STATE_NAME wine)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${CLEANER_RUN_LOGGED} ${WINE_PROGRAM})
# What a test run under one Wine keeps: its prefixes (the 32-bit and the
# 144 DPI one beside the one in WINEPREFIX) and the screenshots. The test
# script binds another folder here for each further Wine.
get_filename_component(CLEANER_WINE_STATE ${CMAKE_CURRENT_LIST_DIR}/../build/${CLEANER_WINE_STATE_NAME} ABSOLUTE)
