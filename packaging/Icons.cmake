# The application icon: packaging/icons/quillet.svg rendered at the hicolor sizes by rsvg-convert into
# ${QUILLET_ICON_DIR}/hicolor/<N>x<N>/apps/quillet.png. The window embeds these PNGs; the install
# puts them, and the SVG as the scalable one, into the icon theme.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(QUILLET_ICON_SOURCE ${CMAKE_SOURCE_DIR}/packaging/icons/quillet.svg)
set(QUILLET_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(QUILLET_ICON_SIZES 16 22 24 32 48 64 128 256)
set(QUILLET_ICON_PNGS)
foreach(size IN LISTS QUILLET_ICON_SIZES)
  set(png ${QUILLET_ICON_DIR}/hicolor/${size}x${size}/apps/quillet.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILLET_ICON_DIR}/hicolor/${size}x${size}/apps
    COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${QUILLET_ICON_SOURCE}
    DEPENDS ${QUILLET_ICON_SOURCE}
    COMMENT "Rendering the ${size}x${size} icon"
    VERBATIM)
  list(APPEND QUILLET_ICON_PNGS ${png})
endforeach()
add_custom_target(quillet_icons ALL DEPENDS ${QUILLET_ICON_PNGS})
