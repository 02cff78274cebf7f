# Run by CPack after it packed the release archives: the debug information that the installation
# stripped from its binaries, as an archive of its own beside them. Unpacked over an installation
# (its top folder renamed to the installation's), each <binary>.debug lands beside its binary,
# where debuggers look for it.
set(top "${CPACK_ORVANTA_DEBUG_NAME}")
if(NOT IS_DIRECTORY "${CPACK_ORVANTA_DEBUG_ROOT}/${top}")
  message(FATAL_ERROR "no debug information in ${CPACK_ORVANTA_DEBUG_ROOT}/${top}: the installation stripped nothing")
endif()
if(CPACK_ORVANTA_DEBUG_FORMAT STREQUAL "zip")
  set(archive "${CPACK_PACKAGE_DIRECTORY}/${top}.zip")
  set(options cf "${archive}" --format=zip)
else()
  set(archive "${CPACK_PACKAGE_DIRECTORY}/${top}.tar.gz")
  set(options czf "${archive}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar ${options} "${top}"
                WORKING_DIRECTORY "${CPACK_ORVANTA_DEBUG_ROOT}" RESULT_VARIABLE packed)
if(NOT packed EQUAL 0)
  message(FATAL_ERROR "cannot pack ${archive}")
endif()
message(STATUS "Debug archive: ${archive}")
