# Cross build of the 32-bit Windows program with Debian's mingw-w64 i686
# compilers of the posix thread model (std::mutex and GoogleTest need it).
set(CLEANER_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-target.cmake)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
