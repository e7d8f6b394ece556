# Installs libtolkara.so, its header and a CMake package
# (find_package(Tolkara) -> Tolkara::tolkara).
include(CMakePackageConfigHelpers)

install(TARGETS tolkara EXPORT TolkaraTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES include/tolkara/tolkara.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tolkara)

set(TOLKARA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tolkara)
install(EXPORT TolkaraTargets NAMESPACE Tolkara:: DESTINATION ${TOLKARA_CMAKE_DIR})
configure_package_config_file(cmake/TolkaraConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/TolkaraConfig.cmake
  INSTALL_DESTINATION ${TOLKARA_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/TolkaraConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/TolkaraConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/TolkaraConfigVersion.cmake
  DESTINATION ${TOLKARA_CMAKE_DIR})
