# Where the C math library evaluates exp, log and hypot on the x87 unit (32-bit x86
# Linux and Windows, and MinGW-w64 on x86-64), the library's calls to them
# run at the x87 precision those routines are written for, whatever the
# calling thread's precision control: the linker routes every call to a
# listed function through module/x87_math_precision.cpp, which defines one
# wrapper per name. The library must call no other C math function with
# inexact results there; tests/binary checks that from the objects.
set(LORVANE_X87_GUARDED_MATH exp log hypot)

set(LORVANE_GUARD_X87_MATH OFF)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$"
   OR (WIN32 AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$"))
  set(LORVANE_GUARD_X87_MATH ON)
endif()

if(LORVANE_GUARD_X87_MATH)
  target_sources(lorvane_objects PRIVATE ${PROJECT_SOURCE_DIR}/module/x87_math_precision.cpp)
  set(lorvane_wrap_options ${LORVANE_X87_GUARDED_MATH})
  list(TRANSFORM lorvane_wrap_options PREPEND "LINKER:--wrap=")
  target_link_options(lorvane PRIVATE ${lorvane_wrap_options})
  # Programs linking the static library link the wrappers with it.
  target_link_options(lorvane_static INTERFACE ${lorvane_wrap_options})
endif()
