# The installation and the release archives. `cmake --install` lays the files out as the applet and
# the stand-in runtime look for them: the applet in "<prefix>/Hardware Applets", the runtime, the
# other stand-ins, the logging dispatcher and the `orvanta` tool in "<prefix>/bin" (where the
# applet finds the dispatcher), the application headers in "<prefix>/include/orvanta" and a CMake
# package in "<prefix>/lib/cmake/Orvanta". The installed binaries are stripped of their debug
# information, which goes into a debug archive. CPack packs that tree as .tar.gz and .deb on Linux
# and as .zip on Windows, and the debug information beside them.

include(CMakePackageConfigHelpers)

set(ORVANTA_INSTALL_APPLETS "Hardware Applets")
set(ORVANTA_INSTALL_BIN bin)
# The include root of the package: "orvanta/runtime.h" and "orvanta_sim/..." are included as they
# are inside this tree, and nothing lands directly in a shared include folder.
set(ORVANTA_INSTALL_INCLUDE include/orvanta)
set(ORVANTA_INSTALL_CMAKE lib/cmake/Orvanta)

if(NOT WIN32)
  # The stand-ins find each other beside themselves; the applet finds them in the installation's
  # bin folder. Windows finds them beside the application or on its PATH.
  set_target_properties(rtcore5 hapcore vexo_hw common-logging-dispatcher orvanta_cli PROPERTIES
    INSTALL_RPATH "\$ORIGIN")
  set_target_properties(Orvanta PROPERTIES INSTALL_RPATH "\$ORIGIN/../${ORVANTA_INSTALL_BIN}")
endif()

# Import libraries are installed only where an application links against them: the runtime's.
install(TARGETS Orvanta
  LIBRARY DESTINATION ${ORVANTA_INSTALL_APPLETS}
  RUNTIME DESTINATION ${ORVANTA_INSTALL_APPLETS}
  ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)
install(TARGETS rtcore5
  LIBRARY DESTINATION ${ORVANTA_INSTALL_BIN}
  RUNTIME DESTINATION ${ORVANTA_INSTALL_BIN}
  ARCHIVE DESTINATION lib)
install(TARGETS hapcore vexo_hw common-logging-dispatcher orvanta_cli
  LIBRARY DESTINATION ${ORVANTA_INSTALL_BIN}
  RUNTIME DESTINATION ${ORVANTA_INSTALL_BIN}
  ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)

# The installation is the release: its binaries lose their debug information (a tenth of their
# size stays), which is kept in the build tree for the debug archive.
if(WIN32)
  set(ORVANTA_PACKAGE_SYSTEM win64)
else()
  set(ORVANTA_PACKAGE_SYSTEM Linux-x86_64)
endif()
set(ORVANTA_DEBUG_NAME orvanta-${PROJECT_VERSION}-${ORVANTA_PACKAGE_SYSTEM}-debug)
set(ORVANTA_DEBUG_ROOT ${CMAKE_BINARY_DIR}/debug-symbols)
set(stripped "${ORVANTA_INSTALL_APPLETS}/$<TARGET_FILE_NAME:Orvanta>")
foreach(target rtcore5 hapcore vexo_hw common-logging-dispatcher orvanta_cli)
  list(APPEND stripped "${ORVANTA_INSTALL_BIN}/$<TARGET_FILE_NAME:${target}>")
endforeach()
# The Python package's compiled modules, where the build has it (python/CMakeLists.txt).
foreach(target _orvanta _sim)
  if(TARGET ${target})
    list(APPEND stripped "python/orvanta/$<TARGET_FILE_NAME:${target}>")
  endif()
endforeach()
install(CODE "
  set(orvanta_objcopy \"${CMAKE_OBJCOPY}\")
  set(orvanta_debug_dir \"${ORVANTA_DEBUG_ROOT}/${ORVANTA_DEBUG_NAME}\")
  set(orvanta_stripped \"${stripped}\")
")
install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/StripInstalled.cmake)

install(FILES
    ${PROJECT_SOURCE_DIR}/include/orvanta/error_codes.h
    ${PROJECT_SOURCE_DIR}/include/orvanta/orvanta.h
    ${PROJECT_SOURCE_DIR}/include/orvanta/parameter_info_node.h
    ${PROJECT_SOURCE_DIR}/include/orvanta/runtime.h
    ${PROJECT_SOURCE_DIR}/include/orvanta/type_codes.h
    ${ORVANTA_GENERATED_HEADERS}
  DESTINATION ${ORVANTA_INSTALL_INCLUDE}/orvanta)
install(FILES
    ${PROJECT_SOURCE_DIR}/sim/include/orvanta_sim/export.h
    ${PROJECT_SOURCE_DIR}/sim/include/orvanta_sim/runtime.h
    ${PROJECT_SOURCE_DIR}/sim/include/orvanta_sim/runtime_control.h
  DESTINATION ${ORVANTA_INSTALL_INCLUDE}/orvanta_sim)

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/docs/parameters.md DESTINATION docs)
if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
endif()

# The package configuration: imported targets made by hand from the installed files, so that
# the build's own targets (with their source-tree include folders) stay out of it.
if(WIN32)
  set(ORVANTA_RUNTIME_FILE rtcore5.dll)
  set(ORVANTA_RUNTIME_IMPORT_LIBRARY lib/${CMAKE_IMPORT_LIBRARY_PREFIX}rtcore5${CMAKE_IMPORT_LIBRARY_SUFFIX})
else()
  set(ORVANTA_RUNTIME_FILE librtcore5.so)
  set(ORVANTA_RUNTIME_IMPORT_LIBRARY "")
endif()
set(package_dir ${CMAKE_BINARY_DIR}/package)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/OrvantaConfig.cmake.in ${package_dir}/OrvantaConfig.cmake
  INSTALL_DESTINATION ${ORVANTA_INSTALL_CMAKE}
  PATH_VARS ORVANTA_INSTALL_BIN ORVANTA_INSTALL_APPLETS ORVANTA_INSTALL_INCLUDE ORVANTA_RUNTIME_IMPORT_LIBRARY)
# 3.1.1.2 serves a request for any 3.x up to it: the application interface keeps its functions
# within a major version.
write_basic_package_version_file(${package_dir}/OrvantaConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMajorVersion)
install(FILES ${package_dir}/OrvantaConfig.cmake ${package_dir}/OrvantaConfigVersion.cmake
  DESTINATION ${ORVANTA_INSTALL_CMAKE})

# ---- Release archives ----------------------------------------------------------------------
set(CPACK_PACKAGE_NAME orvanta)
set(CPACK_PACKAGE_VENDOR "Brightmoor GmbH")
set(CPACK_PACKAGE_CONTACT "Brightmoor GmbH")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "The Orvanta frame-grabber applet with a simulated board to build and test applications against")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_SYSTEM_NAME ${ORVANTA_PACKAGE_SYSTEM})
set(CPACK_ORVANTA_DEBUG_NAME ${ORVANTA_DEBUG_NAME})
set(CPACK_ORVANTA_DEBUG_ROOT ${ORVANTA_DEBUG_ROOT})
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackDebugSymbols.cmake)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_ORVANTA_DEBUG_FORMAT zip)
else()
  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_DEBIAN_PACKAGE_NAME orvanta)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION devel)
  # libcpp-httplib0.11 and libturbojpeg0: the HTTP server and JPEG encoder of `orvanta view`.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libgcc-s1, libstdc++6, libcpp-httplib0.11, libturbojpeg0")
  # The .deb installs into a folder of its own (its bin/ holds libraries): /opt/orvanta.
  set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/CPackProjectConfig.cmake)
endif()
include(CPack)
