# Settings of single CPack generators, read when CPack runs: the Debian package installs into a
# folder of its own, since its bin/ holds libraries; the archives unpack into one folder anyway.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_PACKAGING_INSTALL_PREFIX /opt/orvanta)
endif()
