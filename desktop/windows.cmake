# The Windows program's installation: orrery.exe with its pictures, their
# credits and the licence in one folder (the program reads the pictures from
# its working directory, and its shortcut starts it there).
install(TARGETS orrery RUNTIME DESTINATION .)
install(FILES ${ORRERY_TEXTURES} data/textures/CREDITS.md LICENSE DESTINATION .)
