# Copies the program data from SOURCE to DEST (beside the executables). The help texts and the help
# page carry the project's version (@PROJECT_VERSION@ in their "About" part), filled in here so that
# there is one version number: CMake's project().
file(GLOB files LIST_DIRECTORIES false RELATIVE "${SOURCE}" "${SOURCE}/*")
foreach(name IN LISTS files)
  if(name MATCHES "\\.(txt|html)$")
    configure_file("${SOURCE}/${name}" "${DEST}/${name}" @ONLY)
  else()
    configure_file("${SOURCE}/${name}" "${DEST}/${name}" COPYONLY)
  endif()
endforeach()
