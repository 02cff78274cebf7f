# Run by `cmake --install` (and so by CPack) after the binaries are installed: each installed
# binary keeps its code and loses its debug information, which goes into a file of its own in the
# build tree (<binary>.debug, found again through the binary's .gnu_debuglink), from which the
# debug archive is packed. Set by the install rule before: orvanta_objcopy, orvanta_debug_dir
# and orvanta_stripped (the binaries, relative to the installation).
foreach(file IN LISTS orvanta_stripped)
  set(installed "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${file}")
  set(debug "${orvanta_debug_dir}/${file}.debug")
  get_filename_component(debug_folder "${debug}" DIRECTORY)
  file(MAKE_DIRECTORY "${debug_folder}")
  execute_process(COMMAND "${orvanta_objcopy}" --only-keep-debug "${installed}" "${debug}"
                  RESULT_VARIABLE kept ERROR_VARIABLE message)
  if(kept EQUAL 0)
    execute_process(COMMAND "${orvanta_objcopy}" --strip-debug --strip-unneeded "--add-gnu-debuglink=${debug}"
                            "${installed}"
                    RESULT_VARIABLE stripped ERROR_VARIABLE message)
  endif()
  if(NOT kept EQUAL 0 OR NOT stripped EQUAL 0)
    message(FATAL_ERROR "cannot strip ${installed}: ${message}")
  endif()
  message(STATUS "Stripped: ${installed} (debug information in ${debug})")
endforeach()
