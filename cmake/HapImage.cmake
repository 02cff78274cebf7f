# The HAP image the applet carries: generated at build time by tools/make_hap_image.py (never
# committed) from the design's NX parameter list in tools/orvanta_nx_parameters.txt, and
# embedded by an assembly stub that .incbin's it as the read-only symbol orvanta_hap_image.
# The same run writes hap_image_size.h, the image's size for the applet (ORVANTA_HAP_IMAGE_SIZE).
# The applet adds ${ORVANTA_HAP_IMAGE_SOURCE} to its sources and ${ORVANTA_HAP_IMAGE_DIR} to its
# include path, and depends on orvanta_hap_image.
# A copy named Orvanta.hap lies in <build>/bin for opening the HAP from a file.

enable_language(ASM)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(ORVANTA_HAP_IMAGE_DIR ${CMAKE_BINARY_DIR}/generated/hap)
set(ORVANTA_HAP_IMAGE_FILE ${ORVANTA_HAP_IMAGE_DIR}/Orvanta.hap)
set(ORVANTA_HAP_IMAGE_SOURCE ${ORVANTA_HAP_IMAGE_DIR}/orvanta_hap_image.S)
set(orvanta_hap_image_size_header ${ORVANTA_HAP_IMAGE_DIR}/hap_image_size.h)
set(orvanta_hap_image_copy ${CMAKE_BINARY_DIR}/bin/Orvanta.hap)
set(orvanta_hap_nx_parameters ${PROJECT_SOURCE_DIR}/tools/orvanta_nx_parameters.txt)

# The stub is written by the same command as the image, so that a new image also makes a new
# stub and the object that .incbin's it is assembled again.
add_custom_command(
  OUTPUT ${ORVANTA_HAP_IMAGE_FILE} ${ORVANTA_HAP_IMAGE_SOURCE} ${orvanta_hap_image_size_header}
         ${orvanta_hap_image_copy}
  COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/make_hap_image.py
          --output ${ORVANTA_HAP_IMAGE_FILE} --assembly ${ORVANTA_HAP_IMAGE_SOURCE}
          --size-header ${orvanta_hap_image_size_header} --nx-parameters ${orvanta_hap_nx_parameters}
  COMMAND ${CMAKE_COMMAND} -E copy ${ORVANTA_HAP_IMAGE_FILE} ${orvanta_hap_image_copy}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/make_hap_image.py ${orvanta_hap_nx_parameters}
  COMMENT "Generating the Orvanta HAP image"
  VERBATIM)
add_custom_target(orvanta_hap_image
  DEPENDS ${ORVANTA_HAP_IMAGE_FILE} ${ORVANTA_HAP_IMAGE_SOURCE} ${orvanta_hap_image_size_header}
          ${orvanta_hap_image_copy})

