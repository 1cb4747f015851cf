# The game in the player's language: gettext catalogues under po/, one per language that
# po/LINGUAS lists, all made from the template po/vektrion.pot.
#
# The build
#   - extracts the template from the code's tr() and trLater() texts, the captions of the
#     stored description (vektrion-describe --texts), the menu entry, the AppStream
#     metadata and the replay files' type, and writes po/vektrion.pot when its messages have changed;
#   - compiles each catalogue with msgfmt --check into locale/LANGUAGE/LC_MESSAGES/ of the
#     build folder, where the game finds it when it runs from there;
#   - merges the menu entry, the metadata (with its releases made from CHANGELOG.md by
#     cmake/metainfo_releases.cmake) and the replay files' type with the catalogues'
#     translations into i18n/.
# cmake/install.cmake installs the compiled catalogues under share/locale/ (the folders of
# VEK_LOCALE_FOLDERS) and the merged files.

find_program(VEK_XGETTEXT xgettext REQUIRED)
find_program(VEK_MSGFMT msgfmt REQUIRED)

set(VEK_PO_DIR ${CMAKE_SOURCE_DIR}/po)
file(STRINGS ${VEK_PO_DIR}/LINGUAS VEK_LANGUAGES REGEX "^[^#]")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VEK_PO_DIR}/LINGUAS)

set(VEK_DESKTOP_SOURCE ${CMAKE_SOURCE_DIR}/packaging/${VEK_APP_ID}.desktop.in)
set(VEK_METAINFO_SOURCE ${CMAKE_SOURCE_DIR}/packaging/${VEK_APP_ID}.metainfo.xml)
set(VEK_DESKTOP_TEMPLATE ${CMAKE_BINARY_DIR}/i18n/${VEK_APP_ID}.desktop.in)
set(VEK_METAINFO_FILE ${CMAKE_BINARY_DIR}/i18n/${VEK_APP_ID}.metainfo.xml)
set(VEK_MIME_SOURCE ${CMAKE_SOURCE_DIR}/packaging/${VEK_APP_ID}.mime.xml)
set(VEK_MIME_FILE ${CMAKE_BINARY_DIR}/i18n/${VEK_APP_ID}.mime.xml)

# The template. Its file is rewritten only when a message changed, not for a new date.
file(GLOB_RECURSE translated_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*.cpp ${CMAKE_SOURCE_DIR}/src/*.hpp)
set(description_texts ${CMAKE_BINARY_DIR}/i18n/description.pot)
add_custom_command(
  OUTPUT ${description_texts}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/i18n
  COMMAND vektrion-describe --texts ${CMAKE_SOURCE_DIR}/assets/main_form.desc ${description_texts}
  DEPENDS vektrion-describe ${CMAKE_SOURCE_DIR}/assets/main_form.desc
  COMMENT "Collecting the texts of the stored description"
  VERBATIM)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/i18n/template.stamp
  COMMAND ${CMAKE_COMMAND} -DXGETTEXT=${VEK_XGETTEXT} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
          -DBINARY_DIR=${CMAKE_BINARY_DIR} -DDESCRIPTION_TEXTS=${description_texts}
          -DDESKTOP=${VEK_DESKTOP_SOURCE} -DMETAINFO=${VEK_METAINFO_SOURCE} -DMIME=${VEK_MIME_SOURCE}
          -DVERSION=${PROJECT_VERSION}
          -P ${CMAKE_SOURCE_DIR}/cmake/update_template.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/i18n/template.stamp
  DEPENDS ${translated_sources} ${description_texts} ${VEK_DESKTOP_SOURCE} ${VEK_METAINFO_SOURCE}
          ${VEK_MIME_SOURCE} ${CMAKE_SOURCE_DIR}/cmake/update_template.cmake
  COMMENT "Extracting the texts a player sees into po/vektrion.pot"
  VERBATIM)

# The catalogues, checked as they are compiled: formats, headers, and one access key
# wherever the game's own text has one.
set(catalogues)
set(VEK_LOCALE_FOLDERS)
foreach(language ${VEK_LANGUAGES})
  set(folder ${CMAKE_BINARY_DIR}/locale/${language}/LC_MESSAGES)
  add_custom_command(
    OUTPUT ${folder}/vektrion.mo
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${VEK_MSGFMT} --check --check-accelerators=& -o ${folder}/vektrion.mo ${VEK_PO_DIR}/${language}.po
    DEPENDS ${VEK_PO_DIR}/${language}.po
    COMMENT "Compiling the ${language} catalogue"
    VERBATIM)
  list(APPEND catalogues ${folder}/vektrion.mo)
  list(APPEND VEK_LOCALE_FOLDERS share/locale/${language}/LC_MESSAGES)
endforeach()

# The metadata with the releases that CHANGELOG.md lists up to this version.
set(metainfo_with_releases ${CMAKE_BINARY_DIR}/releases/${VEK_APP_ID}.metainfo.xml)
add_custom_command(
  OUTPUT ${metainfo_with_releases}
  COMMAND ${CMAKE_COMMAND} -DCHANGELOG=${CMAKE_SOURCE_DIR}/CHANGELOG.md -DMETAINFO=${VEK_METAINFO_SOURCE}
          -DVERSION=${PROJECT_VERSION} -DOUTPUT=${metainfo_with_releases}
          -P ${CMAKE_SOURCE_DIR}/cmake/metainfo_releases.cmake
  DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md ${VEK_METAINFO_SOURCE} ${CMAKE_SOURCE_DIR}/cmake/metainfo_releases.cmake
          ${CMAKE_SOURCE_DIR}/cmake/changelog.cmake
  COMMENT "Listing CHANGELOG.md's releases in the metadata"
  VERBATIM)

# The menu entry, the metadata and the replay files' type with every language's name,
# comment, summary, description and keywords, from the same catalogues.
set(po_files)
foreach(language ${VEK_LANGUAGES})
  list(APPEND po_files ${VEK_PO_DIR}/${language}.po)
endforeach()
add_custom_command(
  OUTPUT ${VEK_DESKTOP_TEMPLATE} ${VEK_METAINFO_FILE} ${VEK_MIME_FILE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/i18n
  COMMAND ${VEK_MSGFMT} --desktop --template=${VEK_DESKTOP_SOURCE} -d ${VEK_PO_DIR} -o ${VEK_DESKTOP_TEMPLATE}
  COMMAND ${VEK_MSGFMT} --xml --template=${metainfo_with_releases} -d ${VEK_PO_DIR} -o ${VEK_METAINFO_FILE}
  COMMAND ${VEK_MSGFMT} --xml --template=${VEK_MIME_SOURCE} -d ${VEK_PO_DIR} -o ${VEK_MIME_FILE}
  DEPENDS ${po_files} ${VEK_PO_DIR}/LINGUAS ${VEK_DESKTOP_SOURCE} ${metainfo_with_releases} ${VEK_MIME_SOURCE}
  COMMENT "Merging the translations into the menu entry and the metadata"
  VERBATIM)

add_custom_target(vektrion-translations ALL
                  DEPENDS ${CMAKE_BINARY_DIR}/i18n/template.stamp ${catalogues} ${VEK_DESKTOP_TEMPLATE}
                          ${VEK_METAINFO_FILE} ${VEK_MIME_FILE})
add_dependencies(vektrion vektrion-translations)

# The catalogues against the template, and the tests that look texts up in them.
if(VEK_TESTS)
  add_test(NAME Catalogues.AgainstTheTemplate COMMAND ${CMAKE_SOURCE_DIR}/tests/i18n/check_catalogues.sh ${VEK_PO_DIR})
  target_compile_definitions(vektrion_tests PRIVATE VEK_LOCALE_DIR="${CMAKE_BINARY_DIR}/locale")
  add_dependencies(vektrion_tests vektrion-translations)
endif()
