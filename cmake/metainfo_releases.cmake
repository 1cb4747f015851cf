# The software-centre metadata with its list of releases made from CHANGELOG.md, so that the
# project's history is written in one place. Each section "## VERSION — YYYY-MM-DD" up to
# the project's version becomes a <release> of that date whose list items become <li>
# lines; a section of the project's version still marked "Unreleased" is a development
# release dated SOURCE_DATE_EPOCH or today. Newer sections are left out. The metadata's
# source holds one <releases/> where the list goes. Run at build time:
#   cmake -DCHANGELOG=CHANGELOG.md -DMETAINFO=SOURCE.metainfo.xml -DVERSION=1.2.0 \
#         -DOUTPUT=OUT.metainfo.xml -P cmake/metainfo_releases.cmake

include("${CMAKE_CURRENT_LIST_DIR}/changelog.cmake")

vek_read_changelog("${CHANGELOG}")
set(releases "")
foreach(release_version IN LISTS changelog_versions)
  if(release_version VERSION_GREATER VERSION)
    continue()
  endif()
  set(release_date "${changelog_date_${release_version}}")
  set(release_type "")
  if(release_date STREQUAL "")
    string(TIMESTAMP release_date "%Y-%m-%d" UTC)
    set(release_type " type=\"development\"")
  endif()
  set(release_items "")
  foreach(item IN LISTS changelog_items_${release_version})
    # XML escaped, as an <li> line.
    string(REPLACE "&" "&amp;" item "${item}")
    string(REPLACE "<" "&lt;" item "${item}")
    string(REPLACE ">" "&gt;" item "${item}")
    string(APPEND release_items "          <li>${item}</li>\n")
  endforeach()
  string(APPEND releases "    <release version=\"${release_version}\" date=\"${release_date}\"${release_type}>\n"
         "      <description>\n        <ul>\n${release_items}        </ul>\n      </description>\n"
         "    </release>\n")
endforeach()
if(releases STREQUAL "")
  message(FATAL_ERROR "${CHANGELOG} has no release up to ${VERSION}")
endif()
vek_changelog_restore(releases)

file(READ "${METAINFO}" metainfo)
string(FIND "${metainfo}" "<releases/>" at)
if(at LESS 0)
  message(FATAL_ERROR "${METAINFO} has no <releases/> for the list of releases")
endif()
string(REPLACE "<releases/>" "<releases>\n${releases}  </releases>" metainfo "${metainfo}")
file(WRITE "${OUTPUT}" "${metainfo}")
