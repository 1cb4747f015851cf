# Extracts the texts a player sees into BINARY_DIR/i18n/vektrion.pot and copies it over
# SOURCE_DIR/po/vektrion.pot when a message, a reference or a comment differs (a new
# creation date alone is no change). Run by the build (cmake/i18n.cmake) with XGETTEXT,
# SOURCE_DIR, BINARY_DIR, DESCRIPTION_TEXTS, DESKTOP, METAINFO, MIME and VERSION set.

set(extracted ${BINARY_DIR}/i18n/vektrion.pot)
set(template ${SOURCE_DIR}/po/vektrion.pot)
file(REMOVE ${extracted})

function(xgettext)
  execute_process(COMMAND ${XGETTEXT} --from-code=UTF-8 --package-name=vektrion --package-version=${VERSION}
                          --msgid-bugs-address=vektrion@vektrion.example --copyright-holder=Murelle
                          --add-comments=TRANSLATORS: --add-location=file --output=${extracted} ${ARGN}
                  WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "xgettext ${ARGN}: ${failed}")
  endif()
endfunction()

# The code's texts, then the stored description's captions, the menu entry's, the
# metadata's and the replay files' type's, each file named relative to the source folder.
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.hpp)
list(SORT sources)
xgettext(--language=C++ --keyword --keyword=tr --keyword=trLater ${sources})
xgettext(--join-existing ${DESCRIPTION_TEXTS})
file(RELATIVE_PATH desktop ${SOURCE_DIR} ${DESKTOP})
xgettext(--join-existing --language=Desktop --keyword --keyword=GenericName --keyword=Comment
         --keyword=Keywords ${desktop})
file(RELATIVE_PATH metainfo ${SOURCE_DIR} ${METAINFO})
xgettext(--join-existing ${metainfo})
file(RELATIVE_PATH mime ${SOURCE_DIR} ${MIME})
xgettext(--join-existing ${mime})

function(messages_of file out)
  set(text)
  if(EXISTS ${file})
    file(READ ${file} text)
    string(REGEX REPLACE "\"POT-Creation-Date: [^\n]*\n" "" text "${text}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
messages_of(${extracted} new)
messages_of(${template} old)
if(NOT new STREQUAL old)
  message(STATUS "po/vektrion.pot: the texts have changed; the catalogues need updating (see README)")
  # Through a file of this build's own and a rename, since two builds (make test's) may
  # update the template at the same time.
  string(MD5 build ${BINARY_DIR})
  file(COPY_FILE ${extracted} ${template}.${build})
  file(RENAME ${template}.${build} ${template})
endif()
