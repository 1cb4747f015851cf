# Installing Vektrion like a desktop game, and its Debian package.
#
# `cmake --install` (make install) puts the game and the four tools in PREFIX/bin, and
# under PREFIX/share the menu entry, the icons, the AppStream metadata and the manual
# page, and the replay files' type. CPack (make deb) packs the same files with the layout Debian asks of a game: the
# programs in /usr/games, the manual page compressed, the copyright and changelog in
# /usr/share/doc/vektrion. Install components:
#   programs  PREFIX/bin, the menu entry and the manual page (make install only)
#   data      the icons and the metadata (both)
#   package   the package's own layout (CPack only; excluded from a plain install)
# Files whose content depends on the layout are written at install time by
# cmake/install_files.cmake.

# VEK_APP_ID, the menu entry's name, is set in CMakeLists.txt: the game's windows carry it.
# The tools a player or a maker of media may use. The build's own tools (vektrion-describe,
# vektrion-about-icon) and the soak run are not installed.
set(VEK_INSTALLED_TOOLS vektrion-picture vektrion-wave vektrion-assets vektrion-replay)
set(VEK_ICON_SIZES 16 32 48 64 128 256)
# The package's maintainer and Debian revision, also for its changelog.
set(VEK_MAINTAINER "Murelle <vektrion@vektrion.example>")
set(VEK_DEB_REVISION 1)

# The catalogues, and the menu entry and metadata merged with their translations.
include(cmake/i18n.cmake)

# First of all: which of the folders that a plain install fills do not exist yet, so that
# make uninstall can take away the ones it made.
set(install_folders bin share/applications share/metainfo share/man/man6 share/mime/packages share/vektrion
    ${VEK_LOCALE_FOLDERS})
foreach(size ${VEK_ICON_SIZES})
  list(APPEND install_folders share/icons/hicolor/${size}x${size}/apps)
endforeach()
install(CODE "
  set(VEK_STEP folders)
  set(VEK_FOLDERS \"${install_folders}\")
  set(VEK_FOLDER_RECORD \"${CMAKE_BINARY_DIR}/install_folders.txt\")
  include(\"${CMAKE_SOURCE_DIR}/cmake/install_files.cmake\")")

install(TARGETS vektrion ${VEK_INSTALLED_TOOLS} RUNTIME DESTINATION bin COMPONENT programs)
install(TARGETS vektrion ${VEK_INSTALLED_TOOLS} RUNTIME DESTINATION games COMPONENT package EXCLUDE_FROM_ALL)

foreach(size ${VEK_ICON_SIZES})
  install(FILES assets/icons/vektrion-${size}.png DESTINATION share/icons/hicolor/${size}x${size}/apps
          RENAME ${VEK_APP_ID}.png COMPONENT data)
endforeach()
install(FILES ${VEK_METAINFO_FILE} DESTINATION share/metainfo COMPONENT data)
foreach(language ${VEK_LANGUAGES})
  install(FILES ${CMAKE_BINARY_DIR}/locale/${language}/LC_MESSAGES/vektrion.mo
          DESTINATION share/locale/${language}/LC_MESSAGES COMPONENT data)
endforeach()
# The demonstration the title plays while the player has kept no game.
install(FILES ${VEK_DEMONSTRATION} DESTINATION share/vektrion COMPONENT data)
# The replay files' type, so that a file manager opens them with the game.
install(FILES ${VEK_MIME_FILE} DESTINATION share/mime/packages RENAME ${VEK_APP_ID}.xml
        COMPONENT data)

foreach(layout programs package)
  set(exclude)
  if(layout STREQUAL "package")
    set(exclude EXCLUDE_FROM_ALL)
  endif()
  install(CODE "
    set(VEK_STEP ${layout})
    set(VEK_APP_ID ${VEK_APP_ID})
    set(VEK_VERSION ${PROJECT_VERSION})
    set(VEK_TOOLS \"${VEK_INSTALLED_TOOLS}\")
    set(VEK_SOURCE_DIR \"${CMAKE_SOURCE_DIR}\")
    set(VEK_DESKTOP_TEMPLATE \"${VEK_DESKTOP_TEMPLATE}\")
    set(VEK_STAGE \"${CMAKE_BINARY_DIR}/packaging/${layout}\")
    set(VEK_VERSION ${PROJECT_VERSION})
    set(VEK_DEB_REVISION ${VEK_DEB_REVISION})
    set(VEK_MAINTAINER \"${VEK_MAINTAINER}\")
    include(\"${CMAKE_SOURCE_DIR}/cmake/install_files.cmake\")"
    COMPONENT ${layout} ${exclude})
endforeach()

# The Debian package, made by CPack from this build folder as it is: the Makefile builds
# the installed programs first, so installing (and so packaging) need not build every
# target of the project.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vektrion)
set(CPACK_PACKAGE_VENDOR Murelle)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${VEK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "side-scrolling space shooter")
# The long description, its lines kept short as Debian asks.
set(CPACK_PACKAGE_DESCRIPTION "\
Your ship flies over a scrolling field of stars and fires to the right at a
fixed script of enemies: spinning disks, attackers and, at the end, a boss
that fires back. One hit and the game is over. The game runs in a window, or
full screen, with its menus and texts in Spanish, English, French, German or
Portuguese, and is played with the keyboard or a game controller.

The package also holds four tools for people who make or check the game's
media: a picture decoder, a wave rewriter, a writer of the game's built-in
pictures and sounds, and a runner that plays the game without a screen from a
script of keys.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};vektrion;data;/;${CMAKE_BINARY_DIR};vektrion;package;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VEK_DEB_REVISION})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vektrion.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
