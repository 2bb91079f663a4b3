# The same 32-bit Windows program compiled by clang for the same mingw-w64
# target, so that code only one compiler accepts is caught. It uses the C++
# library of the mingw-w64 GCC toolchain, which Debian's clang does not find
# by itself, and links through that toolchain's driver: its start-up files
# register the unwind tables that exceptions need, clang's do not.
set(CLEANER_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-target.cmake)

set(_triple ${CLEANER_MINGW_TRIPLE})
file(GLOB _gcc_dirs /usr/lib/gcc/${_triple}/*-posix)
list(SORT _gcc_dirs)
list(GET _gcc_dirs -1 _gcc)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${_triple})
set(CMAKE_CXX_COMPILER_TARGET ${_triple})

set(CMAKE_CXX_FLAGS_INIT
    "-isystem ${_gcc}/include/c++ -isystem ${_gcc}/include/c++/${_triple} -isystem ${_gcc}/include/c++/backward")
# The link rules, set after the platform's own (which a toolchain file
# cannot override).
set(CMAKE_USER_MAKE_RULES_OVERRIDE ${CMAKE_CURRENT_LIST_DIR}/clang-mingw-link.cmake)
