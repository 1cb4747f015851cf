#!/usr/bin/env bash
# Runs a command on the current X display while openbox manages its windows, then ends
# openbox again. The command learns of the window manager from VEK_SMOKE_WINDOW_MANAGER;
# the script's exit code is the command's.
set -u
ready=$(mktemp -u /tmp/vek-openbox-ready.XXXXXX)
openbox --sm-disable --startup "touch $ready" >/dev/null 2>&1 &
wm=$!
for _ in $(seq 100); do
  [ -e "$ready" ] && break
  sleep 0.1
done
if [ ! -e "$ready" ]; then
  echo "with_window_manager.sh: openbox did not start" >&2
  kill "$wm" 2>/dev/null
  exit 1
fi
rm -f "$ready"
VEK_SMOKE_WINDOW_MANAGER=openbox "$@"
rc=$?
kill "$wm" 2>/dev/null
wait "$wm" 2>/dev/null
exit $rc
