# Runs inside an install (cmake --install, or CPack): VEK_STEP says which part.
#   folders   adds to VEK_FOLDER_RECORD the folders of VEK_FOLDERS (below the prefix),
#             and those above them, that do not exist yet, for make uninstall; as full
#             paths, DESTDIR included, so that installs to other places never mix
#   programs  the menu entry for PREFIX/bin and the manual page with its links
#   package   the same for the Debian package's /usr/games, compressed as Debian wants,
#             and the package's copyright and its changelog made from CHANGELOG.md
# The files are written to VEK_STAGE in the build folder and installed from there, so
# that the install records them like every other file. file(INSTALL) records them in the
# scope it runs in, so it runs here at the top, not inside the functions.

function(record_new_folders)
  set(record)
  if(EXISTS "${VEK_FOLDER_RECORD}")
    # Folders made by an earlier install that are still there stay ours.
    file(STRINGS "${VEK_FOLDER_RECORD}" earlier)
    foreach(folder IN LISTS earlier)
      if(IS_DIRECTORY "${folder}")
        list(APPEND record "${folder}")
      endif()
    endforeach()
  endif()
  foreach(folder IN LISTS VEK_FOLDERS)
    # The folder and those above it that are missing, up to the first one there.
    set(path "${CMAKE_INSTALL_PREFIX}/${folder}")
    while(IS_ABSOLUTE "${path}" AND NOT path STREQUAL "/" AND NOT IS_DIRECTORY "$ENV{DESTDIR}${path}")
      list(APPEND record "$ENV{DESTDIR}${path}")
      get_filename_component(path "${path}" DIRECTORY)
    endwhile()
  endforeach()
  list(REMOVE_DUPLICATES record)
  list(JOIN record "\n" text)
  file(WRITE "${VEK_FOLDER_RECORD}" "${text}")
endfunction()

function(gzip_to source target)
  execute_process(COMMAND gzip -9n -c "${source}" OUTPUT_FILE "${target}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${source}: ${failed}")
  endif()
endfunction()

# The menu entry, starting the game from where this layout puts it.
function(stage_menu_entry executable)
  set(VEK_EXEC "${executable}")
  configure_file("${VEK_DESKTOP_TEMPLATE}" "${VEK_STAGE}/${VEK_APP_ID}.desktop" @ONLY)
endfunction()

# The manual page as PAGE, and each tool's name as a link to it; their paths in PAGES.
function(stage_manual_pages page compress)
  set(pages "${VEK_STAGE}/${page}")
  # The page with its version filled in.
  configure_file("${VEK_SOURCE_DIR}/packaging/vektrion.6" "${VEK_STAGE}/vektrion.6.page" @ONLY)
  if(compress)
    gzip_to("${VEK_STAGE}/vektrion.6.page" "${VEK_STAGE}/${page}")
  else()
    configure_file("${VEK_STAGE}/vektrion.6.page" "${VEK_STAGE}/${page}" COPYONLY)
  endif()
  string(REPLACE "vektrion" "" suffix "${page}")
  foreach(tool IN LISTS VEK_TOOLS)
    file(CREATE_LINK "${page}" "${VEK_STAGE}/${tool}${suffix}" SYMBOLIC)
    list(APPEND pages "${VEK_STAGE}/${tool}${suffix}")
  endforeach()
  set(PAGES "${pages}" PARENT_SCOPE)
endfunction()

if(VEK_STEP STREQUAL "folders")
  record_new_folders()
  return()
endif()

file(MAKE_DIRECTORY "${VEK_STAGE}")
if(VEK_STEP STREQUAL "programs")
  stage_menu_entry("${CMAKE_INSTALL_PREFIX}/bin/vektrion")
  stage_manual_pages(vektrion.6 OFF)
else()
  # The package always lands in /usr; CMAKE_INSTALL_PREFIX is CPack's staging folder here.
  stage_menu_entry("/usr/games/vektrion")
  stage_manual_pages(vektrion.6.gz ON)
  include("${VEK_SOURCE_DIR}/cmake/debian_changelog.cmake")
  vek_debian_changelog("${VEK_SOURCE_DIR}/CHANGELOG.md" "${VEK_VERSION}" "${VEK_DEB_REVISION}" "${VEK_MAINTAINER}"
                       "${VEK_STAGE}/changelog.Debian")
  gzip_to("${VEK_STAGE}/changelog.Debian" "${VEK_STAGE}/changelog.Debian.gz")
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/doc/vektrion" TYPE FILE
       FILES "${VEK_SOURCE_DIR}/packaging/debian/copyright" "${VEK_STAGE}/changelog.Debian.gz")
endif()
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE FILES "${VEK_STAGE}/${VEK_APP_ID}.desktop")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/man/man6" TYPE FILE FILES ${PAGES})
