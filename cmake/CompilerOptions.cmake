# Numerics and warnings shared by every target of the project.
#
# Results must be IEEE double with round-to-nearest in the order the source
# writes them: no value-changing optimisation (never -ffast-math), no fused
# multiply-add contraction. -fno-math-errno only lets sqrt compile to the
# instruction; it changes no value.
add_library(lorvane_options INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(lorvane_options INTERFACE
    -Wall -Wextra -Wpedantic
    -ffp-contract=off -fno-math-errno)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$")
    # Plain x87 code would round twice (to extended, then to double) when a
    # caller leaves the FPU at extended precision; SSE2 arithmetic is double.
    target_compile_options(lorvane_options INTERFACE -msse2 -mfpmath=sse)
  endif()
elseif(MSVC)
  target_compile_options(lorvane_options INTERFACE /W4 /fp:precise)
endif()
