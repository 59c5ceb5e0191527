# GoogleTest from Debian's sources, built for a cross suite's target like our
# own code but without our warning flags (they are for our code). Included by
# the Windows and arm64 suites; the including folder holds its build.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(PLEXA_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
add_subdirectory(${PLEXA_GOOGLETEST_SOURCE} ${CMAKE_CURRENT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_target_properties(gtest gtest_main PROPERTIES COMPILE_OPTIONS "")
if(NOT TARGET GTest::gtest)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()
