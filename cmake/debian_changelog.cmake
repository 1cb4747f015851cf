# The Debian changelog of the package, made from CHANGELOG.md so that the project's history
# is written in one place. Each section "## VERSION — YYYY-MM-DD" from the package's version
# down to the oldest becomes an entry "vektrion (VERSION-REVISION)" whose list items become
# "*" lines wrapped at 78 columns, signed on that date at noon UTC. A section still marked
# "Unreleased" goes to the distribution UNRELEASED, dated SOURCE_DATE_EPOCH or now. Sections
# newer than the package's version are left out; a version without a section is an error,
# so a new version cannot be packaged before its changes are written down.
#
# cmake/install_files.cmake calls vek_debian_changelog() when CPack makes the package; it
# also runs on its own:
#   cmake -DCHANGELOG=CHANGELOG.md -DVERSION=1.2.0 -DOUTPUT=changelog \
#         [-DREVISION=1] [-DMAINTAINER="Name <address>"] -P cmake/debian_changelog.cmake

set(VEK_CHANGELOG_WIDTH 78)

# Text kept in CMake lists must not hold ";" or square brackets, which lists treat as
# separators and groupings; they travel as control characters and come back at the end.
string(ASCII 1 vek_semicolon)
string(ASCII 2 vek_open_bracket)
string(ASCII 3 vek_close_bracket)

# Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
function(vek_days_from_civil year month day out)
  if(month LESS_EQUAL 2)
    math(EXPR year "${year} - 1")
  endif()
  math(EXPR era "${year} / 400")
  math(EXPR year_of_era "${year} - ${era} * 400")
  math(EXPR day_of_year "(153 * ((${month} + 9) % 12) + 2) / 5 + ${day} - 1")
  math(EXPR day_of_era "${year_of_era} * 365 + ${year_of_era} / 4 - ${year_of_era} / 100 + ${day_of_year}")
  math(EXPR days "${era} * 146097 + ${day_of_era} - 719468")
  set(${out} ${days} PARENT_SCOPE)
endfunction()

# The signature's date: "Wed, 09 Dec 2026 12:00:00 +0000" for "2026-12-09"; for an empty
# date, SOURCE_DATE_EPOCH or now.
function(vek_changelog_date date out)
  set(had_epoch FALSE)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(had_epoch TRUE)
    set(saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
  endif()
  if(date MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
    set(year "${CMAKE_MATCH_1}")
    set(month "${CMAKE_MATCH_2}")
    set(day "${CMAKE_MATCH_3}")
    # Leading zeros would read as octal in math().
    string(REGEX REPLACE "^0" "" month "${month}")
    string(REGEX REPLACE "^0" "" day "${day}")
    vek_days_from_civil(${year} ${month} ${day} days)
    math(EXPR seconds "${days} * 86400 + 12 * 3600")
    set(ENV{SOURCE_DATE_EPOCH} ${seconds})
  endif()
  string(TIMESTAMP text "%a, %d %b %Y %H:%M:%S +0000" UTC)
  if(had_epoch)
    set(ENV{SOURCE_DATE_EPOCH} "${saved_epoch}")
  else()
    unset(ENV{SOURCE_DATE_EPOCH})
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# One list item as "  * " lines of at most VEK_CHANGELOG_WIDTH bytes (a longer word stands
# alone on its line); Markdown's code and bold marks are dropped.
function(vek_changelog_item text out)
  string(REPLACE "`" "" text "${text}")
  string(REPLACE "**" "" text "${text}")
  string(REGEX MATCHALL "[^ ]+" words "${text}")
  set(result "")
  set(line "  *")
  set(empty TRUE)
  foreach(word IN LISTS words)
    string(LENGTH "${line} ${word}" length)
    if(length GREATER VEK_CHANGELOG_WIDTH AND NOT empty)
      string(APPEND result "${line}\n")
      set(line "   ")
    endif()
    string(APPEND line " ${word}")
    set(empty FALSE)
  endforeach()
  string(APPEND result "${line}\n")
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# Adds the list item being gathered (if any) to the entry's items.
macro(vek_changelog_flush_item)
  if(NOT item STREQUAL "")
    vek_changelog_item("${item}" wrapped)
    string(APPEND entry_items "${wrapped}")
  endif()
  set(item "")
endmacro()

# Ends the entry being gathered (if any) and appends it to the changelog text.
macro(vek_changelog_close_entry)
  if(NOT entry_version STREQUAL "")
    vek_changelog_flush_item()
    if(entry_items STREQUAL "")
      message(FATAL_ERROR "${changelog}: the section of ${entry_version} lists no change")
    endif()
    if(entry_version VERSION_LESS_EQUAL version)
      vek_changelog_date("${entry_date}" signed)
      string(APPEND changelog_text "vektrion (${entry_version}-${revision}) ${entry_distribution}; "
             "urgency=medium\n\n${entry_items}\n -- ${maintainer}  ${signed}\n\n")
      if(entry_version VERSION_EQUAL version)
        set(version_found TRUE)
      endif()
    endif()
  endif()
  set(entry_version "")
  set(entry_items "")
endmacro()

# Writes to output the Debian changelog of package version version-revision from the
# Markdown changelog.
function(vek_debian_changelog changelog version revision maintainer output)
  file(READ "${changelog}" markdown)
  string(REPLACE ";" "${vek_semicolon}" markdown "${markdown}")
  string(REPLACE "[" "${vek_open_bracket}" markdown "${markdown}")
  string(REPLACE "]" "${vek_close_bracket}" markdown "${markdown}")
  string(REPLACE "\n" ";" lines "${markdown}")
  set(changelog_text "")
  set(entry_version "")
  set(entry_items "")
  set(item "")
  set(version_found FALSE)
  foreach(line IN LISTS lines)
    if(line MATCHES "^## +([0-9]+\\.[0-9]+\\.[0-9]+) +(.*)$")
      set(heading_version "${CMAKE_MATCH_1}")
      set(heading_rest "${CMAKE_MATCH_2}")
      vek_changelog_close_entry()
      set(entry_version "${heading_version}")
      if(heading_rest MATCHES "([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])$")
        set(entry_date "${CMAKE_MATCH_1}")
        set(entry_distribution unstable)
      elseif(heading_rest MATCHES "Unreleased$")
        set(entry_date "")
        set(entry_distribution UNRELEASED)
      else()
        message(FATAL_ERROR "${changelog}: \"${line}\" ends neither in a date nor in Unreleased")
      endif()
    elseif(line MATCHES "^#")
      vek_changelog_close_entry()
    elseif(entry_version STREQUAL "")
      # Text before the first version is the file's own introduction.
    elseif(line MATCHES "^- +(.*)$")
      set(item_start "${CMAKE_MATCH_1}")
      vek_changelog_flush_item()
      set(item "${item_start}")
    elseif(line MATCHES "^ *$")
      vek_changelog_flush_item()
    else()
      string(STRIP "${line}" line)
      string(APPEND item " ${line}")
    endif()
  endforeach()
  vek_changelog_close_entry()
  if(NOT version_found)
    message(FATAL_ERROR "${changelog} has no section \"## ${version} — DATE\" (or \"— Unreleased\") "
                        "for the package's version")
  endif()
  string(REGEX REPLACE "\n+$" "\n" changelog_text "${changelog_text}")
  string(REPLACE "${vek_semicolon}" ";" changelog_text "${changelog_text}")
  string(REPLACE "${vek_open_bracket}" "[" changelog_text "${changelog_text}")
  string(REPLACE "${vek_close_bracket}" "]" changelog_text "${changelog_text}")
  file(WRITE "${output}" "${changelog_text}")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  if(NOT DEFINED REVISION)
    set(REVISION 1)
  endif()
  if(NOT DEFINED MAINTAINER)
    set(MAINTAINER "Murelle <vektrion@vektrion.example>")
  endif()
  vek_debian_changelog("${CHANGELOG}" "${VERSION}" "${REVISION}" "${MAINTAINER}" "${OUTPUT}")
endif()
