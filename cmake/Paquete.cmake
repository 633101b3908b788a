# The Debian package: `cpack -G DEB` in the build folder writes tavelorin_<version>_<arch>.deb.
# Its Depends are computed by dpkg-shlibdeps from the programs' libraries. What no tool
# can see, because Qt loads it at run time, is covered by what those libraries ship: the
# X11 platform plugin comes with libqt6gui6, the SVG icon engine with libqt6svg6.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavelorin)
set(CPACK_PACKAGE_VENDOR "Grupo de Organización de la Producción")
set(CPACK_PACKAGE_CONTACT "TAVELORIN <info@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "mixed-model assembly line sequencer (goal chasing)")
set(CPACK_PACKAGE_DESCRIPTION [[
TAVELORIN builds the production sequence of a mixed-model assembly line by
the goal-chasing method: at every stage it makes the product whose components
keep the line's consumption closest to its ideal, even rate.

Type or open a problem (products, components, usages and demands), run the
sequencer, and read, save, print (also to a PDF file) or copy the tab-separated
report of every stage, with two charts of component consumption that can be
zoomed and exported. The user interface is in
Spanish. The command-line solver tavelorin-cli gives the same report, and
measures a sequence against the optimum.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PRE_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/QuitarSecciones.cmake")  # strips
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # tavelorin_0.1.0_amd64.deb
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own translations, loaded at run time for the user's language (the standard
# dialogs in Spanish): no library links them, so they are named here; shlibdeps adds the
# libraries after them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
# Liberation fonts give the report its monospaced face; the Wayland plugin runs the
# program natively on a Wayland desktop instead of through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://gop.example.org/")

include(CPack)
