# CHANGELOG.md read once for the files made from it (the Debian changelog, the metadata's
# list of releases). Its sections are "## VERSION — YYYY-MM-DD" or "## VERSION — Unreleased",
# each a Markdown list of changes; text before the first section is the file's own
# introduction, and any other heading ends a section.

# Text kept in CMake lists must not hold ";" or square brackets, which lists treat as
# separators and groupings; they travel as control characters, and vek_changelog_restore()
# brings them back in the finished text.
string(ASCII 1 vek_semicolon)
string(ASCII 2 vek_open_bracket)
string(ASCII 3 vek_close_bracket)

macro(vek_changelog_restore variable)
  string(REPLACE "${vek_semicolon}" ";" ${variable} "${${variable}}")
  string(REPLACE "${vek_open_bracket}" "[" ${variable} "${${variable}}")
  string(REPLACE "${vek_close_bracket}" "]" ${variable} "${${variable}}")
endmacro()

# Sets, in the caller's scope, changelog_versions (the sections' versions as they stand, the
# newest first), and for each version V changelog_date_V (its date, empty when Unreleased)
# and changelog_items_V (its list items, each on one line, Markdown's code and bold marks
# dropped). A heading with neither a date nor "Unreleased", or a section without items, is
# a fatal error.
function(vek_read_changelog changelog)
  file(READ "${changelog}" markdown)
  string(REPLACE ";" "${vek_semicolon}" markdown "${markdown}")
  string(REPLACE "[" "${vek_open_bracket}" markdown "${markdown}")
  string(REPLACE "]" "${vek_close_bracket}" markdown "${markdown}")
  string(REPLACE "`" "" markdown "${markdown}")
  string(REPLACE "**" "" markdown "${markdown}")
  string(REPLACE "\n" ";" lines "${markdown}")
  set(versions "")
  set(version "")
  set(item "")
  # The line after the last, so that the last item and section end like the others.
  foreach(line IN LISTS lines ITEMS "#")
    if(NOT version STREQUAL "" AND (line MATCHES "^#" OR line MATCHES "^- " OR line MATCHES "^ *$"))
      if(NOT item STREQUAL "")
        list(APPEND items_${version} "${item}")
      endif()
      set(item "")
    endif()
    if(line MATCHES "^#" AND NOT version STREQUAL "")
      if(NOT items_${version})
        message(FATAL_ERROR "${changelog}: the section of ${version} lists no change")
      endif()
      set(changelog_items_${version} "${items_${version}}" PARENT_SCOPE)
      set(version "")
    endif()
    if(line MATCHES "^## +([0-9]+\\.[0-9]+\\.[0-9]+) +(.*)$")
      set(version "${CMAKE_MATCH_1}")
      set(rest "${CMAKE_MATCH_2}")
      list(APPEND versions "${version}")
      set(items_${version} "")
      if(rest MATCHES "([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])$")
        set(changelog_date_${version} "${CMAKE_MATCH_1}" PARENT_SCOPE)
      elseif(rest MATCHES "Unreleased$")
        set(changelog_date_${version} "" PARENT_SCOPE)
      else()
        message(FATAL_ERROR "${changelog}: \"${line}\" ends neither in a date nor in Unreleased")
      endif()
    elseif(version STREQUAL "" OR line MATCHES "^ *$")
      # Outside a section, or between items.
    elseif(line MATCHES "^- +(.*)$")
      set(item "${CMAKE_MATCH_1}")
    else()
      string(STRIP "${line}" line)
      string(APPEND item " ${line}")
    endif()
  endforeach()
  set(changelog_versions "${versions}" PARENT_SCOPE)
endfunction()
