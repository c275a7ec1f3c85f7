# GoogleTest built from the distribution's sources (Debian libgtest-dev puts
# them in /usr/src/googletest) for a target the installed, host-built
# libraries do not serve, such as 32-bit x86. Provides the same targets as
# find_package(GTest).
set(LORVANE_GTEST_SOURCE_DIR /usr/src/googletest/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${LORVANE_GTEST_SOURCE_DIR} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(NOT TARGET GTest::gtest)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()
