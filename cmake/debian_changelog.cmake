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

include("${CMAKE_CURRENT_LIST_DIR}/changelog.cmake")

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
# alone on its line).
function(vek_changelog_item text out)
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

# Writes to output the Debian changelog of package version version-revision from the
# Markdown changelog.
function(vek_debian_changelog changelog version revision maintainer output)
  vek_read_changelog("${changelog}")
  list(FIND changelog_versions "${version}" at)
  if(at LESS 0)
    message(FATAL_ERROR "${changelog} has no section \"## ${version} — DATE\" (or \"— Unreleased\") "
                        "for the package's version")
  endif()
  set(changelog_text "")
  foreach(entry_version IN LISTS changelog_versions)
    if(entry_version VERSION_GREATER version)
      continue()
    endif()
    set(entry_items "")
    foreach(item IN LISTS changelog_items_${entry_version})
      vek_changelog_item("${item}" wrapped)
      string(APPEND entry_items "${wrapped}")
    endforeach()
    if(changelog_date_${entry_version} STREQUAL "")
      set(entry_distribution UNRELEASED)
    else()
      set(entry_distribution unstable)
    endif()
    vek_changelog_date("${changelog_date_${entry_version}}" signed)
    string(APPEND changelog_text "vektrion (${entry_version}-${revision}) ${entry_distribution}; "
           "urgency=medium\n\n${entry_items}\n -- ${maintainer}  ${signed}\n\n")
  endforeach()
  string(REGEX REPLACE "\n+$" "\n" changelog_text "${changelog_text}")
  vek_changelog_restore(changelog_text)
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
