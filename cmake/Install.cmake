# Install rules. The executable, the engine library and the data files stay side by side in
# <prefix>/lib/qor-converter, as the program finds its engine (RPATH $ORIGIN), database and
# pictures beside itself; <prefix>/bin/QorConverter is a link to it. A marker file tells the
# installed program that it is shared by all users, so each user's data goes to their own
# folders (platform/core/DataFolders.h).
set(QOR_INSTALL_DIR lib/qor-converter)

set_target_properties(QorConverter qor-convert kivoengine PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS QorConverter qor-convert RUNTIME DESTINATION ${QOR_INSTALL_DIR})
# The command-line converter's manual page.
install(FILES ${CMAKE_SOURCE_DIR}/cli/qor-convert.1 DESTINATION share/man/man1)
install(TARGETS kivoengine LIBRARY DESTINATION ${QOR_INSTALL_DIR})

# The catalog as shipped (never the build folder's copy, which running the program changes).
install(FILES
        ${CMAKE_SOURCE_DIR}/resources/KivoMp4.dll
        ${CMAKE_SOURCE_DIR}/resources/Gver.dll
        ${QOR_BIN_DIR}/3GP.jpg ${QOR_BIN_DIR}/PSP.jpg ${QOR_BIN_DIR}/IPOD.jpg
        ${QOR_BIN_DIR}/PDA.jpg ${QOR_BIN_DIR}/MP4.jpg ${QOR_BIN_DIR}/backblank.bmp
    DESTINATION ${QOR_INSTALL_DIR})
file(WRITE ${CMAKE_BINARY_DIR}/installed-for-all-users
    "This installation is shared by all users: each keeps the profile database in the\n"
    "configuration folder and the stills in the cache folder.\n")
install(FILES ${CMAKE_BINARY_DIR}/installed-for-all-users DESTINATION ${QOR_INSTALL_DIR})

install(CODE "
    set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    file(MAKE_DIRECTORY \"\${bin}\")
    message(STATUS \"Installing: \${bin}/QorConverter\")
    file(CREATE_LINK ../${QOR_INSTALL_DIR}/QorConverter \"\${bin}/QorConverter\" SYMBOLIC)
    message(STATUS \"Installing: \${bin}/qor-convert\")
    file(CREATE_LINK ../${QOR_INSTALL_DIR}/qor-convert \"\${bin}/qor-convert\" SYMBOLIC)
")

install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/${QOR_DESKTOP_ID}.desktop
    DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/${QOR_DESKTOP_ID}.metainfo.xml
    DESTINATION share/metainfo)
install(DIRECTORY ${QOR_ICON_DIR}/ DESTINATION share/icons/hicolor
    FILES_MATCHING PATTERN "*.png" PATTERN "*.svg")
