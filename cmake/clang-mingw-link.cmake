# Links the clang build through the mingw-w64 GCC driver (see
# clang-mingw-i686.cmake).
set(CMAKE_C_LINK_EXECUTABLE
    "i686-w64-mingw32-gcc-posix <CMAKE_C_LINK_FLAGS> <LINK_FLAGS> <OBJECTS> -o <TARGET> <LINK_LIBRARIES>")
set(CMAKE_CXX_LINK_EXECUTABLE
    "i686-w64-mingw32-g++-posix <CMAKE_CXX_LINK_FLAGS> <LINK_FLAGS> <OBJECTS> -o <TARGET> <LINK_LIBRARIES>")
