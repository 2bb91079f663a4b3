# What both cross builds share: the 32-bit Windows target, where its
# libraries are found, and ctest running every Windows test program through
# Wine, its output through a file (see run-logged.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

find_program(WINE_PROGRAM wine REQUIRED)
set(CLEANER_RUN_LOGGED ${CMAKE_CURRENT_LIST_DIR}/run-logged.sh)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CLEANER_RUN_LOGGED} ${WINE_PROGRAM})
# What a test run under one Wine keeps: its prefixes (the 32-bit and the
# 144 DPI one beside the one in WINEPREFIX) and the screenshots. The test
# script binds another folder here for each further Wine.
set(CLEANER_WINE_STATE ${CMAKE_SOURCE_DIR}/build/wine)
