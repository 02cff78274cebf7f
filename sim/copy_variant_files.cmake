# Copies the stand-ins and the applet into a runtime variant's folder. On ELF targets the run
# path of each copy is cut to $ORIGIN: the build gives the applet the main bin folder as a
# second run path entry, and with it a copy in a variant folder would still find the complete
# runtime there.
#   cmake -DDESTINATION=<folder> -DFILES=<file;...> -DELF=<ON|OFF> -DSTAMP=<file> -P copy_variant_files.cmake
file(MAKE_DIRECTORY ${DESTINATION})
foreach(source ${FILES})
  get_filename_component(name ${source} NAME)
  file(COPY_FILE ${source} ${DESTINATION}/${name})
  if(ELF)
    file(RPATH_SET FILE ${DESTINATION}/${name} NEW_RPATH "\$ORIGIN")
  endif()
endforeach()
file(TOUCH ${STAMP})
