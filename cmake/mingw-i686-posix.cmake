# Cross build of the 32-bit Windows program with Debian's mingw-w64 i686
# compilers of the posix thread model (std::mutex and GoogleTest need it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(_triple i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER  ${_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# ctest runs every Windows test program through Wine, its output through a
# file (see run-logged.sh).
find_program(WINE_PROGRAM wine REQUIRED)
set(CLEANER_RUN_LOGGED ${CMAKE_CURRENT_LIST_DIR}/run-logged.sh)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CLEANER_RUN_LOGGED} ${WINE_PROGRAM})
