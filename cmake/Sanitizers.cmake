# Instrumented builds: sanitizers over every target, and the fuzz targets.
#
#   LORVANE_SANITIZE=address  AddressSanitizer with UndefinedBehaviorSanitizer
#                             (and float-to-integer overflow); any report aborts.
#   LORVANE_SANITIZE=thread   ThreadSanitizer.
#   LORVANE_FUZZ=ON           libFuzzer targets in tests/fuzz (clang only); the
#                             library is instrumented for coverage, with ASan
#                             and UBSan.
#
# Floating-point division by zero is left out on purpose: the library divides
# by zero where IEEE arithmetic gives the documented infinity (K1 at a
# subnormal argument, for example).
set(LORVANE_SANITIZE "" CACHE STRING "Sanitizers for every target: address, thread or empty")
set_property(CACHE LORVANE_SANITIZE PROPERTY STRINGS "" address thread)
option(LORVANE_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

set(LORVANE_UB_CHECKS undefined,float-cast-overflow)

if(LORVANE_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,${LORVANE_UB_CHECKS} -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,${LORVANE_UB_CHECKS} -fno-sanitize-recover=all)
elseif(LORVANE_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT LORVANE_SANITIZE STREQUAL "")
  message(FATAL_ERROR "LORVANE_SANITIZE must be address, thread or empty, not '${LORVANE_SANITIZE}'")
endif()

if(LORVANE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "LORVANE_FUZZ needs clang (libFuzzer); configure with the fuzz preset")
  endif()
  if(NOT LORVANE_SANITIZE STREQUAL "")
    message(FATAL_ERROR "LORVANE_FUZZ brings its own sanitizers; leave LORVANE_SANITIZE empty")
  endif()
  # Coverage instrumentation for the library so that the fuzzer steers by
  # its branches; the fuzz targets add the libFuzzer driver at link time.
  add_compile_options(-fsanitize=fuzzer-no-link,address,${LORVANE_UB_CHECKS}
                      -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,${LORVANE_UB_CHECKS} -fno-sanitize-recover=all)
endif()

# The fuzz targets. Without LORVANE_FUZZ they are built with a plain driver
# that replays the committed corpus, so every test build checks the corpus as
# a regression test (not the Windows builds, whose tests are the module's own
# checks). Library targets they link are resolved at generation.
if(LORVANE_FUZZ OR (LORVANE_BUILD_TESTS AND NOT WIN32))
  if(LORVANE_BUILD_TESTS)
    enable_testing()
  endif()
  add_subdirectory(${PROJECT_SOURCE_DIR}/tests/fuzz ${PROJECT_BINARY_DIR}/tests/fuzz)
endif()
