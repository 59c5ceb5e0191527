# cmake --install build --prefix DIR:
#   lib/            the bridges, the virtual sensors' runtimes, libplexa_kernel
#   lib/cmake/Plexa PlexaConfig.cmake: find_package(Plexa) gives Plexa::Kinect10,
#                   Plexa::Kinect20 and Plexa::kernel
#   share/java/     plexa-<version>.jar (natives inside), its javadoc and sources
#                   jars and pom, plexa-demo-<version>.jar
#   include/        runtime1/, runtime2/ (runtime and control-face headers), plexa/
include(CMakePackageConfigHelpers)

install(TARGETS plexa_kernel Kinect10 Kinect20 qbl_plexa_64bit qbl_plexa2_64bit
  LIBRARY DESTINATION lib
  RUNTIME DESTINATION bin)

install(FILES ${PLEXA_DISTRIBUTION_JAR} ${javadoc_jar} ${sources_jar} ${pom} ${PLEXA_DEMO_DISTRIBUTION_JAR}
  DESTINATION share/java)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/runtime1/include/ ${PROJECT_SOURCE_DIR}/runtime2/include/
  DESTINATION include FILES_MATCHING PATTERN "*.h")
install(FILES ${PROJECT_SOURCE_DIR}/platform/include/plexa/exports.h ${PROJECT_SOURCE_DIR}/platform/include/plexa/platform.h
  DESTINATION include/plexa)

set(PLEXA_LIBRARY_PREFIX ${CMAKE_SHARED_LIBRARY_PREFIX})
set(PLEXA_LIBRARY_SUFFIX ${CMAKE_SHARED_LIBRARY_SUFFIX})
configure_package_config_file(PlexaConfig.cmake.in ${CMAKE_CURRENT_BINARY_DIR}/PlexaConfig.cmake
  INSTALL_DESTINATION lib/cmake/Plexa)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/PlexaConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/PlexaConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/PlexaConfigVersion.cmake
  DESTINATION lib/cmake/Plexa)
