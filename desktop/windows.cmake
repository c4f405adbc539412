# The Windows program's installation: orrery.exe with its pictures, their
# credits and the licence in one folder. The program reads the pictures from
# its working directory: its Start-menu shortcut starts it in that folder,
# and so does a double click in Explorer.
install(TARGETS orrery RUNTIME DESTINATION .)
install(FILES ${ORRERY_TEXTURES} data/textures/CREDITS.md LICENSE DESTINATION .)

# The 64-bit installer (NSIS) and the zip, made by scripts/package.sh windows:
# Orrery-<version>-win64.exe and Orrery-<version>-win64.zip.
set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME Orrery)
set(CPACK_PACKAGE_VENDOR "Orrery developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Orrery-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Orrery, an animated OpenGL model of the solar system")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Orrery)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Orrery)
# The licence page shows the code's licence and then the pictures' credits.
# The file starts with UTF-8's byte-order mark: NSIS reads a text file without
# one in the ANSI code page, which garbles the credits' accented names.
file(READ LICENSE orrery_licence)
file(READ data/textures/CREDITS.md orrery_credits)
configure_file(desktop/windows/licence.txt.in ${CMAKE_BINARY_DIR}/licence-and-credits.txt @ONLY)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_BINARY_DIR}/licence-and-credits.txt)
# A 64-bit, Unicode installer into Program Files (CPack's default is a 32-bit
# one into Program Files (x86)), for all users.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DISPLAY_NAME Orrery)
set(CPACK_NSIS_PACKAGE_NAME Orrery)
set(CPACK_NSIS_MUI_ICON ${CMAKE_CURRENT_SOURCE_DIR}/desktop/windows/orrery.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_CURRENT_SOURCE_DIR}/desktop/windows/orrery.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME orrery.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The Start-menu shortcut "Orrery" starts orrery.exe in the installation
# folder (NSIS gives a shortcut the folder it is made in as its working
# folder), with the program's own icon.
set(CPACK_PACKAGE_EXECUTABLES orrery Orrery)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_MODIFY_PATH OFF)
# The zip holds one folder with the program and its pictures.
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
