#!/usr/bin/env bash
# The wall time of make test's phases.
#   tools/phases.sh run NAME COMMAND...  runs the command; when VEK_PHASES names a file, adds
#                                        a line to it: the name, start and end (seconds since
#                                        the epoch) and exit status. Exits as the command did.
#   tools/phases.sh record NAME START STATUS
#                                        adds such a line for a phase that began at START
#                                        ($EPOCHREALTIME then) and ends now.
#   tools/phases.sh table FILE           prints the phases of FILE as a table: when each
#                                        started (seconds after the first) and how long it
#                                        took; phases that overlap ran side by side.
set -u
record() {
  if [ -n "${VEK_PHASES:-}" ]; then
    printf '%s\t%s\t%s\t%s\n' "$1" "$2" "$EPOCHREALTIME" "$3" >>"$VEK_PHASES"
  fi
}
case "${1:-}" in
  run)
    name=$2
    shift 2
    start=$EPOCHREALTIME
    "$@"
    status=$?
    record "$name" "$start" "$status"
    exit $status
    ;;
  record)
    record "$2" "$3" "$4"
    ;;
  table)
    [ -s "$2" ] || exit 0
    sort -t $'\t' -k2,2n "$2" | awk -F '\t' '
      NR == 1 { first = $2 }
      { names[NR] = $1; starts[NR] = $2 - first; took[NR] = $3 - $2; failed[NR] = $4 != 0
        if ($3 > last) last = $3 }
      END {
        printf "\nmake test, phase by phase (wall time in seconds; phases whose spans overlap ran side by side):\n"
        printf "  %-44s %7s %7s\n", "phase", "start", "took"
        for (i = 1; i <= NR; i++)
          printf "  %-44s %7.1f %7.1f%s\n", names[i], starts[i], took[i], failed[i] ? "  FAILED" : ""
        printf "  %-44s %7s %7.1f\n", "all phases, start to end", "", last - first
      }'
    ;;
  *)
    echo "usage: tools/phases.sh run NAME COMMAND... | record NAME START STATUS | table FILE" >&2
    exit 2
    ;;
esac
