# What `cmake --install` puts in place, and the Debian package made from it by
# `cpack -G DEB`: the program, its menu entry and icon, the AppStream metadata, the file
# type of settings files, the manual page and the help pages.
include(GNUInstallDirs)

set(TARNWICK_APP_ID org.tarnwick.Tarnwick)
set(TARNWICK_ICON_SIZES 16 22 24 32 48 64 128 256)
set(TARNWICK_ICON_DIR ${CMAKE_BINARY_DIR}/icons)

# The icon: one drawing, written as SVG and as a PNG per size at build time.
add_executable(tarnwick_make_icon data/make_icon.cpp)
target_link_libraries(tarnwick_make_icon PRIVATE Qt6::Gui)
set(icon_outputs ${TARNWICK_ICON_DIR}/${TARNWICK_APP_ID}.svg)
foreach(size IN LISTS TARNWICK_ICON_SIZES)
    list(APPEND icon_outputs ${TARNWICK_ICON_DIR}/${size}/${TARNWICK_APP_ID}.png)
endforeach()
add_custom_command(OUTPUT ${icon_outputs}
    COMMAND tarnwick_make_icon ${TARNWICK_ICON_DIR} ${TARNWICK_APP_ID} ${TARNWICK_ICON_SIZES}
    DEPENDS tarnwick_make_icon
    COMMENT "Drawing the program's icon")
# The window takes its icon from the same pictures, built into the program: the sizes a
# title bar or a task list draws. Every size given to the window is decoded and handed to
# the window manager as it opens; the menus and docks use the installed icons.
set(icon_pngs)
foreach(size 16 22 24 32 48 64)
    list(APPEND icon_pngs ${TARNWICK_ICON_DIR}/${size}/${TARNWICK_APP_ID}.png)
endforeach()
qt_add_resources(tarnwick tarnwick_icons PREFIX /icons BASE ${TARNWICK_ICON_DIR} FILES ${icon_pngs})

configure_file(data/${TARNWICK_APP_ID}.metainfo.xml.in ${CMAKE_BINARY_DIR}/${TARNWICK_APP_ID}.metainfo.xml @ONLY)
configure_file(data/tarnwick.1.in ${CMAKE_BINARY_DIR}/tarnwick.1 @ONLY)

install(TARGETS tarnwick RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY docs/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tarnwick/help)
install(FILES data/${TARNWICK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/${TARNWICK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/tarnwick-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME tarnwick.xml)
install(FILES ${CMAKE_BINARY_DIR}/tarnwick.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${TARNWICK_ICON_DIR}/${TARNWICK_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS TARNWICK_ICON_SIZES)
    install(FILES ${TARNWICK_ICON_DIR}/${size}/${TARNWICK_APP_ID}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# An install straight into a live system refreshes the desktop's file type and menu caches,
# as the Debian package's triggers do; an install into DESTDIR (packaging) leaves them.
install(CODE "
    if(NOT DEFINED ENV{DESTDIR} OR \"\$ENV{DESTDIR}\" STREQUAL \"\")
        find_program(update_mime update-mime-database)
        find_program(update_desktop update-desktop-database)
        if(update_mime)
            execute_process(COMMAND \${update_mime} \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/mime\")
        endif()
        if(update_desktop)
            execute_process(COMMAND \${update_desktop} -q \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
        endif()
    endif()")

# cpack -G DEB: tarnwick_<version>_<architecture>.deb, its dependencies read from the
# libraries the program links (SQLite among them); the help's browser opener is started at
# run time, so it is named here.
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VENDOR "Orlem Brask")
set(CPACK_PACKAGE_CONTACT "Tarnwick <tarnwick.feedback@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "launcher for the ZDoom source port and its games")
set(CPACK_PACKAGE_DESCRIPTION "Tarnwick composes the command line of the ZDoom source port (and of\n\
other Doom ports) from option pages: game WAD, map, skill, map WADs and patches, network\n\
play, demos, saved games, sound, video and gameplay flags. It starts the port, exports the\n\
launch as a script, remembers every choice, and edits the port's configuration file and\n\
bot roster.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "freedoom")
set(CPACK_STRIP_FILES ON)
include(CPack)
