# Installing: the program finds its decoder library, word finder module and example course from
# its own place (bin/ beside lib/lirena/ and share/lirena/), so any prefix works.
install(TARGETS lirena lirena-check RUNTIME DESTINATION bin)
install(TARGETS xaudio lirena-words LIBRARY DESTINATION lib/lirena)
install(DIRECTORY sample-course/ DESTINATION share/lirena/example-course)
install(FILES data/org.lirena.Lirena.desktop DESTINATION share/applications)
install(FILES data/org.lirena.Lirena.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES data/org.lirena.Lirena.metainfo.xml DESTINATION share/metainfo)
install(FILES data/man/lirena.1 data/man/lirena-check.1 DESTINATION share/man/man1)

# cpack -G DEB: a Debian package, its library dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lirena)
set(CPACK_PACKAGE_VENDOR "Lirena")
set(CPACK_PACKAGE_CONTACT "Lirena developers <dev@lirena.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "read-along player for a Turkish reading course")
set(CPACK_PACKAGE_DESCRIPTION "Lirena shows the pages of a Turkish reading course full screen while a\n\
teacher reads them aloud, marking the word heard. It comes with an example\n\
course, a sound editor for course authors and the lirena-check tool.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not linked, so dpkg-shlibdeps cannot see them: a font for the window's
# texts, a sound server to hear the teacher (without one it plays silently)
# and the Turkish data the page drafting reads words with.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, pulseaudio | pipewire-pulse, tesseract-ocr-tur")
include(CPack)
