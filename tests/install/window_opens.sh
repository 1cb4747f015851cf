#!/usr/bin/env bash
# Runs on an X display: starts GAME, waits up to 20 seconds for a viewable window named
# TITLE, checks with xprop that the window carries an icon (_NET_WM_ICON) and, when CLASS is
# given, that its WM_CLASS is CLASS for both name and class, then asks the game to end
# (SIGTERM, as a session does) and expects it to end with status 0.
# Usage: window_opens.sh GAME TITLE [CLASS]
set -u
game=$1 title=$2 class=${3:-}
# The game remembers its settings; a test keeps them out of the home folder.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
XDG_CONFIG_HOME=$config "$game" & pid=$!
seen=""
for _ in $(seq 200); do
  if xwininfo -name "$title" 2>/dev/null | grep -q "Map State: IsViewable"; then
    seen=yes
    break
  fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
desktop_ok=yes
if [ -n "$seen" ]; then
  xwininfo -name "$title" | grep -E "Width|Height"
  properties=$(xprop -name "$title" WM_CLASS _NET_WM_ICON | head -n 2)
  echo "$properties"
  grep -q '^_NET_WM_ICON(CARDINAL) = ' <<<"$properties" || desktop_ok=""
  [ -z "$class" ] || grep -qxF "WM_CLASS(STRING) = \"$class\", \"$class\"" <<<"$properties" || desktop_ok=""
fi
kill -TERM "$pid" 2>/dev/null
wait "$pid"
rc=$?
[ -n "$seen" ] || { echo "no viewable window named \"$title\" appeared"; exit 1; }
[ -n "$desktop_ok" ] || { echo "the window lacks its icon, or its class is not \"$class\""; exit 1; }
[ $rc = 0 ] || { echo "the game ended with status $rc after SIGTERM"; exit 1; }
