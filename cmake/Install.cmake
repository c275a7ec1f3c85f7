# Installation for C and C++ consumers: the shared and static libraries, the
# header, a CMake package (find_package(lorvane CONFIG) giving lorvane::lorvane
# and lorvane::lorvane_static) and a pkg-config file (lorvane.pc).
include(CMakePackageConfigHelpers)

set_target_properties(lorvane_static PROPERTIES EXPORT_NAME lorvane_static)
install(TARGETS lorvane lorvane_static
  EXPORT lorvaneTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/lorvane.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(LORVANE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/lorvane)
install(EXPORT lorvaneTargets NAMESPACE lorvane:: DESTINATION ${LORVANE_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/lorvaneConfig.cmake.in
  ${PROJECT_BINARY_DIR}/lorvaneConfig.cmake
  INSTALL_DESTINATION ${LORVANE_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/lorvaneConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/lorvaneConfig.cmake ${PROJECT_BINARY_DIR}/lorvaneConfigVersion.cmake
  DESTINATION ${LORVANE_CMAKE_DIR})

# The .pc file locates the prefix relative to itself, so the installed tree
# can be moved (or installed with cmake --install --prefix).
file(RELATIVE_PATH LORVANE_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(${PROJECT_SOURCE_DIR}/cmake/lorvane.pc.in ${PROJECT_BINARY_DIR}/lorvane.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/lorvane.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The pure-Python binding, importable once this directory is on PYTHONPATH;
# it finds the shared library in the prefix's library directory.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/python/lorvane
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/lorvane/python
  PATTERN "__pycache__" EXCLUDE)
