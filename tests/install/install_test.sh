#!/usr/bin/env bash
# The installed game, as `make test` checks it: tests/install/install_test.sh BUILD_DIR.
# Installs the build into a temporary DESTDIR and checks the files against
# installed-files.txt, the menu entry and the metadata with their validators, the manual
# page with man and its version, the tools' usage and version, that the installed game
# opens its window under Xvfb, and that uninstalling leaves the DESTDIR empty. Then makes
# the Debian package, runs lintian on it, checks its contents against deb-contents.txt and
# that its changelog, made from CHANGELOG.md, begins with its version. The build's own
# tools (vektrion-describe, vektrion-about-icon) are in neither list: they are not
# installed. Exit status 1 when a check failed.
set -uo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
app_id=example.vektrion.Vektrion
tools=(vektrion-picture vektrion-wave vektrion-assets vektrion-replay)
# Tags that stay, with the reason in the project's notes: the package is not uploaded to
# Debian, so its first changelog entry closes no bug that asked for it.
lintian_allowed=initial-upload-closes-no-bugs

# The one version, as project() gives it and the game answers --version.
version=$("$build/vektrion" --version | sed -n 's/^vektrion //p')
[ -n "$version" ] || { echo "$build/vektrion --version names no version"; exit 1; }

work=$(mktemp -d /tmp/vek-install-test.XXXXXX)
dest=$work/dest
prefix=/usr/local
# A real `make install` from this build folder must stay undoable: its records are put
# back afterwards.
records=(install_manifest.txt install_folders.txt)
for record in "${records[@]}"; do
  [ -e "$build/$record" ] && cp -p "$build/$record" "$work/$record.saved"
done
restore() {
  for record in "${records[@]}"; do
    if [ -e "$work/$record.saved" ]; then mv "$work/$record.saved" "$build/$record"; else rm -f "$build/$record"; fi
  done
  rm -rf "$work"
}
trap restore EXIT

passed=0 failed=0
check() {  # check WHAT COMMAND...: runs the command, prints ok or FAILED with its output
  if "${@:2}" >"$work/output" 2>&1; then
    echo "ok      $1"
    passed=$((passed + 1))
  else
    echo "FAILED  $1"
    sed 's/^/        /' "$work/output"
    failed=$((failed + 1))
  fi
}

# Files and links below a folder, one a line, links with their target.
listing() {
  (cd "$1" && find . -mindepth 1 ! -type d -printf '/%P -> %l\n' | sed 's/ -> $//' | LC_ALL=C sort)
}

same_as() {  # same_as EXPECTED_FILE COMMAND...: the command's output is the file's text
  diff -u "$1" <("${@:2}")
}

no_output() {  # no_output COMMAND...: succeeds and prints nothing on stderr
  local errors
  errors=$("$@" 2>&1 >/dev/null) && [ -z "$errors" ] || { echo "$errors"; return 1; }
}

manual_page_clean() {
  LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 no_output man --warnings -E UTF-8 -l -Tutf8 -Z "$1"
}

usage_answers() {  # usage_answers TOOL: --help and --version on stdout with 0; wrong arguments on stderr with 2
  local tool=$1 rc
  "$dest$prefix/bin/$tool" --help >"$work/out" 2>"$work/err"; rc=$?
  [ $rc = 0 ] && [ ! -s "$work/err" ] && grep -q "^usage: $tool " "$work/out" || { echo "--help: exit $rc"; return 1; }
  "$dest$prefix/bin/$tool" --version >"$work/out" 2>"$work/err"; rc=$?
  [ $rc = 0 ] && [ ! -s "$work/err" ] && [ "$(cat "$work/out")" = "$tool $version" ] || { echo "--version: exit $rc"; return 1; }
  "$dest$prefix/bin/$tool" >"$work/out" 2>"$work/err"; rc=$?
  [ $rc = 2 ] && [ ! -s "$work/out" ] && grep -q "^usage: $tool " "$work/err" || { echo "no arguments: exit $rc"; return 1; }
}

manual_page_version() {  # the installed page names the version, filled in at install
  grep -q "^\.TH VEKTRION 6 .* \"Vektrion $version\"" "$1" || { head -n 3 "$1"; return 1; }
}

# The window's class is the menu entry's name, so that docks group the two.
window_opens() {
  SDL_AUDIODRIVER=dummy timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" \
    "$here/window_opens.sh" "$dest$prefix/bin/vektrion" "Vektrion v1.2.0 - Murelle" "$(basename "$desktop" .desktop)"
}

# The metadata lists the releases that CHANGELOG.md dates, up to the package's version.
releases_listed() {
  local metainfo=$1
  grep -E "^## [0-9.]+ — [0-9]{4}-[0-9]{2}-[0-9]{2}$" "$source_dir/CHANGELOG.md" | while read -r _ v _ date; do
    dpkg --compare-versions "$v" le "$version" || continue
    grep -q "<release version=\"$v\" date=\"$date\"" "$metainfo" || { echo "no release $v of $date"; exit 1; }
  done
}

uninstall_empties() {
  DESTDIR=$dest cmake -DBUILD_DIR="$build" -P "$source_dir/cmake/uninstall.cmake" >/dev/null &&
    [ -z "$(find "$dest" -mindepth 1)" ] || { find "$dest" -mindepth 1; return 1; }
}

lintian_clean() {
  lintian --tag-display-limit 0 --fail-on error,warning --suppress-tags "$lintian_allowed" "$1" 2>&1 |
    grep -v "running with root privileges"
  return "${PIPESTATUS[0]}"
}

deb_contents() {  # mode, owner, path and link target of every entry
  dpkg-deb --contents "$1" | awk '{ $3 = $4 = $5 = ""; print }' | tr -s ' '
}

changelog_is_current() {  # the package's changelog reads, and its newest entry is the package's version
  local version newest
  version=$(dpkg-deb --field "$1" Version) &&
    dpkg-deb --fsys-tarfile "$1" | tar -xOf - ./usr/share/doc/vektrion/changelog.Debian.gz | gunzip >"$work/changelog" &&
    newest=$(dpkg-parsechangelog --file "$work/changelog" --show-field Version) &&
    [ "$newest" = "$version" ] || { echo "package $version, changelog ${newest:-unreadable}"; return 1; }
}

mkdir -p "$dest"
check "install into a DESTDIR" env DESTDIR="$dest" cmake --install "$build" --prefix "$prefix"
check "installed files" same_as "$here/installed-files.txt" listing "$dest"
desktop=$dest$prefix/share/applications/$app_id.desktop
check "menu entry valid" desktop-file-validate "$desktop"
check "menu entry starts the installed game" grep -qx "Exec=$prefix/bin/vektrion %f" "$desktop"
check "menu entry opens replay files" grep -qx "MimeType=application/x-vektrion-replay;" "$desktop"
check "menu entry names the windows' class" grep -qx "StartupWMClass=$app_id" "$desktop"
check "AppStream metadata valid" appstreamcli validate --no-net "$dest$prefix/share/metainfo/$app_id.metainfo.xml"
check "AppStream metadata lists CHANGELOG.md's releases" releases_listed "$dest$prefix/share/metainfo/$app_id.metainfo.xml"
check "manual page formats without warnings" manual_page_clean "$dest$prefix/share/man/man6/vektrion.6"
check "manual page names version $version" manual_page_version "$dest$prefix/share/man/man6/vektrion.6"
for tool in "${tools[@]}"; do
  check "$tool answers --help and wrong arguments" usage_answers "$tool"
done
check "installed game opens its window under Xvfb, with its icon and class" window_opens
check "uninstall leaves nothing" uninstall_empties

deb=$build/vektrion_${version}-1_amd64.deb
rm -f "$deb"
check "Debian package made" bash -c "cd '$build' && cpack -G DEB"
check "lintian finds no error or warning" lintian_clean "$deb"
check "package contents" same_as "$here/deb-contents.txt" deb_contents "$deb"
check "package changelog made from CHANGELOG.md for this version" changelog_is_current "$deb"

echo "install-tests: $passed passed, $failed failed"
[ $failed = 0 ]
