# The software-centre metadata with its list of releases made from CHANGELOG.md, so that the
# project's history is written in one place. Each section "## VERSION — YYYY-MM-DD" up to
# the project's version becomes a <release> of that date whose list items become <li>
# lines; a section of the project's version still marked "Unreleased" is a development
# release dated SOURCE_DATE_EPOCH or today. Newer sections are left out. The metadata's
# source holds one <releases/> where the list goes. Run at build time:
#   cmake -DCHANGELOG=CHANGELOG.md -DMETAINFO=SOURCE.metainfo.xml -DVERSION=1.2.0 \
#         -DOUTPUT=OUT.metainfo.xml -P cmake/metainfo_releases.cmake

# Text kept in CMake lists must not hold ";" or square brackets; they travel as control
# characters and come back at the end.
string(ASCII 1 vek_semicolon)
string(ASCII 2 vek_open_bracket)
string(ASCII 3 vek_close_bracket)

# One list item as an <li> line: Markdown's code and bold marks dropped, XML escaped.
function(vek_release_item text out)
  string(REPLACE "`" "" text "${text}")
  string(REPLACE "**" "" text "${text}")
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  set(${out} "          <li>${text}</li>\n" PARENT_SCOPE)
endfunction()

macro(vek_release_flush_item)
  if(NOT item STREQUAL "")
    vek_release_item("${item}" line)
    string(APPEND release_items "${line}")
  endif()
  set(item "")
endmacro()

# Ends the release being gathered (if any) and appends it to the list.
macro(vek_release_close)
  if(NOT release_version STREQUAL "")
    vek_release_flush_item()
    if(release_version VERSION_LESS_EQUAL VERSION)
      string(APPEND releases "    <release version=\"${release_version}\" date=\"${release_date}\"${release_type}>\n"
             "      <description>\n        <ul>\n${release_items}        </ul>\n      </description>\n"
             "    </release>\n")
    endif()
  endif()
  set(release_version "")
  set(release_items "")
endmacro()

file(READ "${CHANGELOG}" markdown)
string(REPLACE ";" "${vek_semicolon}" markdown "${markdown}")
string(REPLACE "[" "${vek_open_bracket}" markdown "${markdown}")
string(REPLACE "]" "${vek_close_bracket}" markdown "${markdown}")
string(REPLACE "\n" ";" lines "${markdown}")
set(releases "")
set(release_version "")
set(release_items "")
set(item "")
foreach(line IN LISTS lines)
  if(line MATCHES "^## +([0-9]+\\.[0-9]+\\.[0-9]+) +(.*)$")
    set(heading_version "${CMAKE_MATCH_1}")
    set(heading_rest "${CMAKE_MATCH_2}")
    vek_release_close()
    set(release_version "${heading_version}")
    set(release_type "")
    if(heading_rest MATCHES "([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])$")
      set(release_date "${CMAKE_MATCH_1}")
    elseif(heading_rest MATCHES "Unreleased$")
      string(TIMESTAMP release_date "%Y-%m-%d" UTC)
      set(release_type " type=\"development\"")
    else()
      message(FATAL_ERROR "${CHANGELOG}: \"${line}\" ends neither in a date nor in Unreleased")
    endif()
  elseif(line MATCHES "^#")
    vek_release_close()
  elseif(release_version STREQUAL "")
    # Text before the first version is the file's own introduction.
  elseif(line MATCHES "^- +(.*)$")
    set(item_start "${CMAKE_MATCH_1}")
    vek_release_flush_item()
    set(item "${item_start}")
  elseif(line MATCHES "^ *$")
    vek_release_flush_item()
  else()
    string(STRIP "${line}" line)
    string(APPEND item " ${line}")
  endif()
endforeach()
vek_release_close()
if(releases STREQUAL "")
  message(FATAL_ERROR "${CHANGELOG} has no release up to ${VERSION}")
endif()
string(REPLACE "${vek_semicolon}" ";" releases "${releases}")
string(REPLACE "${vek_open_bracket}" "[" releases "${releases}")
string(REPLACE "${vek_close_bracket}" "]" releases "${releases}")

file(READ "${METAINFO}" metainfo)
string(FIND "${metainfo}" "<releases/>" at)
if(at LESS 0)
  message(FATAL_ERROR "${METAINFO} has no <releases/> for the list of releases")
endif()
string(REPLACE "<releases/>" "<releases>\n${releases}  </releases>" metainfo "${metainfo}")
file(WRITE "${OUTPUT}" "${metainfo}")
