# Installation, under any prefix: the program and its box program in
# libexec, its pictures in share/orrery, and bin/orrery, a launcher that
# starts it in that folder (found relative to the launcher, so the prefix may
# be moved).
include(GNUInstallDirs)
set(ORRERY_ID org.orrery.Orrery)
file(RELATIVE_PATH ORRERY_BIN_TO_DATA /prefix/${CMAKE_INSTALL_BINDIR}
  /prefix/${CMAKE_INSTALL_DATADIR}/orrery)
file(RELATIVE_PATH ORRERY_BIN_TO_PROGRAM /prefix/${CMAKE_INSTALL_BINDIR}
  /prefix/${CMAKE_INSTALL_LIBEXECDIR}/orrery/orrery)
configure_file(desktop/orrery.in ${CMAKE_BINARY_DIR}/launcher/orrery @ONLY)
install(TARGETS orrery orrery-box RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/orrery)
# The installed programs as Debian's tools build them (lintian checks these): fortified libc
# calls, a read-only GOT (relro, bindnow), and no compiler version notes after stripping.
if(NOT ORRERY_SANITIZE AND NOT ORRERY_FUZZ)
  foreach(target orrery_app orrery_platform orrery orrery-box)
    target_compile_options(${target} PRIVATE $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  endforeach()
endif()
foreach(program orrery orrery-box)
  target_link_options(${program} PRIVATE -Wl,-z,relro,-z,now)
  install(CODE "execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBEXECDIR}/orrery/${program}\")")
endforeach()
install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/orrery DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ORRERY_TEXTURES} data/textures/CREDITS.md
  DESTINATION ${CMAKE_INSTALL_DATADIR}/orrery)
install(FILES desktop/${ORRERY_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES desktop/${ORRERY_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The manual page and the changelog go in compressed, as Debian policy asks (-n: no name or
# time stamp inside, so the same source gives the same file).
foreach(page orrery.6 changelog)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/desktop/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/desktop
    COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/desktop/${page} > ${CMAKE_BINARY_DIR}/desktop/${page}.gz
    DEPENDS desktop/${page} VERBATIM)
endforeach()
add_custom_target(orrery_docs ALL DEPENDS ${CMAKE_BINARY_DIR}/desktop/orrery.6.gz
  ${CMAKE_BINARY_DIR}/desktop/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/desktop/orrery.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
# The licences of the code and of each picture (machine-readable), and the release history.
install(FILES desktop/copyright ${CMAKE_BINARY_DIR}/desktop/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
foreach(size 48x48 128x128 256x256)
  install(FILES desktop/icons/${size}.png RENAME ${ORRERY_ID}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
endforeach()

# The Debian package (scripts/package.sh): installed under /usr; the linked
# libraries' packages come from dpkg-shlibdeps. SDL opens libGL.so.1 (GLX,
# which brings Mesa's driver) only at run time, so libgl1 is named here. The
# information boxes need the X core fonts for their Korean text (recommended: Debian policy
# lets no package depend on an X font package). Under Wayland,
# which SDL uses only when asked, the window needs EGL and the boxes zenity
# with a Korean font: recommended, not required, as X11 is SDL's first choice.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orrery)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Orrery developers <orrery@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "animated OpenGL model of the solar system")
set(CPACK_PACKAGE_DESCRIPTION "Orrery shows the Sun, the nine planets from Mercury to Pluto,
the Moon and Saturn's ring, textured with NASA, USGS and planetary maps, in
an animated 3D view that the mouse turns and tilts. A click on a body shows
its facts in Korean.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xfonts-base, libegl1, zenity, fonts-nanum | fonts-noto-cjk")
# The lintian override goes into the package only (desktop/package_files.cmake).
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/desktop/package_files.cmake)
set(CPACK_ORRERY_SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
include(CPack)
