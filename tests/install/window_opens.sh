#!/usr/bin/env bash
# Runs on an X display: starts GAME, waits up to 20 seconds for a viewable window named
# TITLE, then asks the game to end (SIGTERM, as a session does) and expects it to end with
# status 0. Usage: window_opens.sh GAME TITLE
set -u
game=$1 title=$2
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
[ -n "$seen" ] && xwininfo -name "$title" | grep -E "Width|Height"
kill -TERM "$pid" 2>/dev/null
wait "$pid"
rc=$?
[ -n "$seen" ] || { echo "no viewable window named \"$title\" appeared"; exit 1; }
[ $rc = 0 ] || { echo "the game ended with status $rc after SIGTERM"; exit 1; }
