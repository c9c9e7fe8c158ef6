# `cmake --install`: the program in bin/, its data set in share/quarrytide/ (where the program looks
# for it, relative to its own folder, when it is not started in a data directory), a desktop entry and
# the icon in the places desktops search. The player's own files go to the XDG data and config folders
# at run time, never into the prefix.
include(GNUInstallDirs)

# The clip view library is the program's own, so it goes to a private folder that the installed
# program finds relative to itself, wherever the prefix is.
install(TARGETS quarrytide RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS clipview LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/quarrytide)
file(RELATIVE_PATH libFromBin /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR}/quarrytide)
set_target_properties(quarrytide PROPERTIES INSTALL_RPATH "$ORIGIN/${libFromBin}")
install(DIRECTORY ${QUARRY_RUN_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quarrytide
        PATTERN quarrytide EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/assets/quarrytide.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/assets/images/icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME quarrytide.svg)

# A 48 x 48 picture too, for desktops that show no scalable icons.
set(icon48 ${CMAKE_BINARY_DIR}/icon-48.png)
add_custom_command(OUTPUT ${icon48}
  COMMAND ${RSVG_CONVERT} --format=png -w 48 -h 48 -o ${icon48} ${PROJECT_SOURCE_DIR}/assets/images/icon.svg
  DEPENDS ${PROJECT_SOURCE_DIR}/assets/images/icon.svg VERBATIM)
add_custom_target(quarry_icon48 ALL DEPENDS ${icon48})
install(FILES ${icon48} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps RENAME quarrytide.png)
