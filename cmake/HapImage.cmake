# The HAP image the applet carries: generated at build time by tools/make_hap_image.py (never
# committed) and embedded by an assembly stub that .incbin's it as the read-only symbol
#   extern "C" const unsigned char orvanta_hap_image[5613887];
# The applet adds ${ORVANTA_HAP_IMAGE_SOURCE} to its sources and depends on orvanta_hap_image.
# A copy named Orvanta.hap lies in <build>/bin for opening the HAP from a file.

enable_language(ASM)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(ORVANTA_HAP_IMAGE_FILE ${CMAKE_BINARY_DIR}/generated/hap/Orvanta.hap)
set(ORVANTA_HAP_IMAGE_SOURCE ${CMAKE_BINARY_DIR}/generated/hap/orvanta_hap_image.S)
set(orvanta_hap_image_copy ${CMAKE_BINARY_DIR}/bin/Orvanta.hap)

# The stub is written by the same command as the image, so that a new image also makes a new
# stub and the object that .incbin's it is assembled again.
add_custom_command(
  OUTPUT ${ORVANTA_HAP_IMAGE_FILE} ${ORVANTA_HAP_IMAGE_SOURCE} ${orvanta_hap_image_copy}
  COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/make_hap_image.py
          --output ${ORVANTA_HAP_IMAGE_FILE} --assembly ${ORVANTA_HAP_IMAGE_SOURCE}
  COMMAND ${CMAKE_COMMAND} -E copy ${ORVANTA_HAP_IMAGE_FILE} ${orvanta_hap_image_copy}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/make_hap_image.py
  COMMENT "Generating the Orvanta HAP image"
  VERBATIM)
add_custom_target(orvanta_hap_image
  DEPENDS ${ORVANTA_HAP_IMAGE_FILE} ${ORVANTA_HAP_IMAGE_SOURCE} ${orvanta_hap_image_copy})
