# What an installation holds, and the Debian package made of it (cpack -G DEB, see scripts/package.sh).
include(GNUInstallDirs)

set(WORDWISP_ICON_SIZES 16 22 24 32 48 64 128 256)
set(WORDWISP_ICON_TREE ${CMAKE_BINARY_DIR}/icons/hicolor)
set(WORDWISP_ICON_FILES)
foreach(size ${WORDWISP_ICON_SIZES})
    list(APPEND WORDWISP_ICON_FILES ${WORDWISP_ICON_TREE}/${size}x${size}/apps/wordwisp.png)
endforeach()
add_executable(render_icons tools/render_icons.cpp)
target_link_libraries(render_icons PRIVATE wordwisp_core)
add_custom_command(OUTPUT ${WORDWISP_ICON_FILES}
    COMMAND render_icons ${WORDWISP_ICON_TREE} ${WORDWISP_ICON_SIZES}
    DEPENDS render_icons ${PROJECT_SOURCE_DIR}/src/app/AppIcon.cpp
    COMMENT "Rendering the icon theme's PNG sizes")
# Debian wants documentation compressed, reproducibly (no name, no time stamp in the gzip header).
set(WORDWISP_GZIPPED ${CMAKE_BINARY_DIR}/doc/wordwisp.1.gz ${CMAKE_BINARY_DIR}/doc/changelog.gz)
add_custom_command(OUTPUT ${WORDWISP_GZIPPED}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/data/wordwisp.1 > ${CMAKE_BINARY_DIR}/doc/wordwisp.1.gz
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/data/changelog > ${CMAKE_BINARY_DIR}/doc/changelog.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/data/wordwisp.1 ${PROJECT_SOURCE_DIR}/data/changelog)
add_custom_target(desktop_files ALL DEPENDS ${WORDWISP_ICON_FILES} ${WORDWISP_GZIPPED})

install(TARGETS wordwisp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/wordwisp/help)
install(DIRECTORY examples/Db DESTINATION ${CMAKE_INSTALL_DATADIR}/wordwisp/examples)
install(FILES data/wordwisp.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/org.wordwisp.Wordwisp.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/wordwisp.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY ${WORDWISP_ICON_TREE} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${CMAKE_BINARY_DIR}/doc/wordwisp.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/doc/changelog.gz data/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/wordwisp)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wordwisp)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Wordwisp developers <developers@wordwisp.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "text expander that replaces a copied keyword with its text")
# CPack puts the summary on the first line and indents these lines itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Wordwisp keeps a library of keys, each a keyword with a block of text, grouped
in categories and stored as plain folders and files. Select a typed keyword in
any application and press Ctrl+C: Wordwisp puts the key's text on the
clipboard and pastes it, so the keyword is replaced. [date] and [time] become
the current date and time. A tray menu pastes any key directly. Wordwisp never
reads the keyboard: it only sees what is copied.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://wordwisp.org/")
# The libraries come from the binary; what it starts or loads by name does not show there: xdg-open for
# the web shortcuts and the help page, Qt's xcb platform plugin, and a font for every text it draws.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, qt6-qpa-plugins, fonts-liberation | fonts-dejavu-core")
# On a Wayland desktop the window is drawn natively with the wayland plugin; without it Qt uses XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)
