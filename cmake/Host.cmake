# The portable rules on the build machine: unit tests under AddressSanitizer
# and UndefinedBehaviorSanitizer, and libFuzzer targets when clang builds.
set(CLEANER_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
target_compile_options(cleaner_rules PRIVATE ${CLEANER_SANITIZERS})
target_link_options(cleaner_rules PUBLIC ${CLEANER_SANITIZERS})

if(CLEANER_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_subdirectory(tests/unit)
endif()

if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_subdirectory(tests/fuzz)
endif()
