# Expected results for the tests of the cross builds: the five functions on a
# table of arguments as the native x86-64 build computes them. Point
# LORVANE_REFERENCE_LIBRARY at that build's liblorvane.so (tools/ci/cross.sh
# does); without it the cross tests check consistency only (the same bits
# across loads, threads and precision settings).
set(LORVANE_REFERENCE_LIBRARY "" CACHE FILEPATH
    "Native x86-64 liblorvane.so whose results the cross builds are compared with")

function(lorvane_use_reference_values target)
  if(NOT LORVANE_REFERENCE_LIBRARY)
    return()
  endif()
  if(NOT EXISTS "${LORVANE_REFERENCE_LIBRARY}")
    message(FATAL_ERROR "LORVANE_REFERENCE_LIBRARY: ${LORVANE_REFERENCE_LIBRARY} does not exist "
                        "(build it with: cmake --preset library && cmake --build --preset library)")
  endif()
  set(directory ${PROJECT_BINARY_DIR}/reference)
  set(header ${directory}/reference_values.h)
  set(generator ${PROJECT_SOURCE_DIR}/tests/windows/generate_reference_values.py)
  if(NOT TARGET lorvane_reference_values)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    add_custom_command(OUTPUT ${header}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${directory}
      COMMAND ${Python3_EXECUTABLE} ${generator} ${LORVANE_REFERENCE_LIBRARY} ${header}
      DEPENDS ${generator} ${LORVANE_REFERENCE_LIBRARY}
      COMMENT "Reference values from ${LORVANE_REFERENCE_LIBRARY}")
    add_custom_target(lorvane_reference_values DEPENDS ${header})
  endif()
  add_dependencies(${target} lorvane_reference_values)
  target_include_directories(${target} PRIVATE ${directory})
  target_compile_definitions(${target} PRIVATE LORVANE_HAVE_REFERENCE_VALUES)
endfunction()
