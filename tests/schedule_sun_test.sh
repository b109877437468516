#!/bin/bash
# "/schedule ... sun" at Greenwich under Wine prints today's sunrise and sunset
# within two minutes of a second computation of the sun's times (the Naval
# Observatory's almanac algorithm), taken to local time as Wine has it from
# the machine; the schedule then ends.
# usage: tests/schedule_sun_test.sh PROGRAM ORACLE   (under scripts/run-under-wine.sh)
set -u
program=$1 oracle=$2
. "$(dirname "$0")/expect.sh"

minutes() { echo $((10#${1%:*} * 60 + 10#${1#*:})); }
near() {  # near WHAT GOT WANTED: within two minutes
  local got=$(minutes "$2") wanted=$(minutes "$3") d
  d=$(( (got - wanted + 1440) % 1440 )); [ $d -gt 720 ] && d=$((1440 - d))
  if [ $d -le 2 ]; then expect "$1" ok ok; else expect "$1" "$2" "$3 within two minutes"; fi
}

day=$(date -u +%F)
read -r _ rise _ set < <(python3 "$oracle" 51.4779 -0.0015 "$day")
local_rise=$(date -d "$day $rise UTC" +%H:%M) local_set=$(date -d "$day $set UTC" +%H:%M)
out=$(wine "$program" /schedule white black sun 51.4779 -0.0015)
expect "the schedule's code" "$?" 0
out=$(tr -d '\r' <<<"$out")
today=$(sed -n 's/^Today: white from \([0-9:]*\), black from \([0-9:]*\)\.$/\1 \2/p' <<<"$out")
near "sunrise at Greenwich" "${today% *}" "$local_rise"
near "sunset at Greenwich" "${today#* }" "$local_set"
out=$(wine "$program" /schedule off | tr -d '\r')
expect "the schedule's end" "$out" "The schedule has ended."
exit $failed
