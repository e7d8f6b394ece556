# Installs libtessaly.so, its public headers, a CMake package
# (find_package(Tessaly) -> Tessaly::tessaly) and a pkg-config file.
include(CMakePackageConfigHelpers)

install(TARGETS tessaly EXPORT TessalyTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY include/tessaly DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(TESSALY_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tessaly)
install(EXPORT TessalyTargets NAMESPACE Tessaly:: DESTINATION ${TESSALY_CMAKE_DIR})
configure_package_config_file(cmake/TessalyConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/TessalyConfig.cmake
  INSTALL_DESTINATION ${TESSALY_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/TessalyConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/TessalyConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/TessalyConfigVersion.cmake
  DESTINATION ${TESSALY_CMAKE_DIR})

# The pkg-config file locates its prefix from its own directory, so the
# installed tree can be moved (cmake --install --prefix anywhere).
file(RELATIVE_PATH TESSALY_PC_TO_PREFIX "/root/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/root")
configure_file(cmake/tessaly.pc.in ${CMAKE_CURRENT_BINARY_DIR}/tessaly.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tessaly.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
