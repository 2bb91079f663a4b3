# The same sources as a 64-bit Windows program, for machines whose kernel
# runs no 32-bit code (where no Wine runs the 32-bit one). Never released.
set(CLEANER_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-target.cmake)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
