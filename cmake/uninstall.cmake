# make uninstall: [DESTDIR=...] cmake -DBUILD_DIR=build -P cmake/uninstall.cmake
# Removes every file and link that the last install recorded in BUILD_DIR/install_manifest.txt,
# then those folders of BUILD_DIR/install_folders.txt that the installs made, that lie in
# DESTDIR and that are empty now; nothing else. The manifest is without DESTDIR: give the
# install's DESTDIR again.

set(manifest "${BUILD_DIR}/install_manifest.txt")
set(folder_record "${BUILD_DIR}/install_folders.txt")
if(NOT EXISTS "${manifest}")
  message(FATAL_ERROR "nothing to uninstall: ${manifest} not found (make install writes it)")
endif()

file(STRINGS "${manifest}" files)
foreach(path IN LISTS files)
  set(path "$ENV{DESTDIR}${path}")
  if(IS_SYMLINK "${path}" OR EXISTS "${path}")
    message(STATUS "Removing: ${path}")
    file(REMOVE "${path}")
    if(IS_SYMLINK "${path}" OR EXISTS "${path}")
      message(FATAL_ERROR "could not remove ${path}")
    endif()
  else()
    message(STATUS "Already gone: ${path}")
  endif()
endforeach()

set(kept)
if(EXISTS "${folder_record}")
  file(STRINGS "${folder_record}" folders)
  # Deepest first, so that a folder is empty once its own folders are gone.
  list(SORT folders ORDER DESCENDING)
  foreach(folder IN LISTS folders)
    string(FIND "${folder}" "$ENV{DESTDIR}/" at)
    if(NOT at EQUAL 0)
      list(APPEND kept "${folder}")  # made by an install to another DESTDIR
    elseif(IS_DIRECTORY "${folder}")
      # rmdir takes away empty folders only.
      execute_process(COMMAND rmdir "${folder}" RESULT_VARIABLE not_empty ERROR_QUIET)
      if(not_empty)
        list(APPEND kept "${folder}")
      else()
        message(STATUS "Removing folder: ${folder}")
      endif()
    endif()
  endforeach()
  list(JOIN kept "\n" text)
  file(WRITE "${folder_record}" "${text}")
endif()
