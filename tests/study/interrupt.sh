#!/usr/bin/env bash
# Ctrl+C and SIGTERM on kalvex-study: exit 130, every finished row in order beside the output
# (RESULTS.csv.partial) and a complete earlier RESULTS.csv left as it was; SIGKILL leaves no
# file behind.
set -u
program=$1 examples=$2 work=$3/interrupt
rm -rf "$work" && mkdir -p "$work"
study=$work/study.json csv=$work/rows.csv
cat > "$study" <<JSON
{"kind": "tolerance", "base": "$examples/rifle-7.62mm.txt",
 "tolerance": {"parameters": [{"parameter": "C", "sigma": 1e-5}], "samples": 100000, "seed": 1}}
JSON

for signal in INT TERM; do
    echo "an earlier, complete result" > "$csv"
    rm -f "$csv.partial"
    "$program" "$study" -o "$csv" --threads 2 --quiet 2> "$work/err" &
    pid=$!
    sleep 2
    kill -"$signal" "$pid"
    # Within a second: a watchdog kills it for good after that, and the status tells.
    ( sleep 1; kill -KILL "$pid" 2>/dev/null ) &
    watchdog=$!
    wait "$pid"
    status=$?
    kill "$watchdog" 2>/dev/null
    [ "$status" -eq 130 ] || { echo "SIG$signal: exit status $status, expected 130"; exit 1; }
    [ "$(cat "$csv")" = "an earlier, complete result" ] || { echo "SIG$signal replaced the complete file"; exit 1; }
    grep -q "written to $csv.partial" "$work/err" || { echo "SIG$signal: the message does not say where"; cat "$work/err"; exit 1; }
    rows=$(($(wc -l < "$csv.partial") - 1))
    [ "$rows" -ge 1 ] || { echo "SIG$signal: no finished row written"; exit 1; }
    # Run numbers 1..rows without gap.
    awk -F, 'NR > 1 && $1 != NR - 1 { print "row " NR - 1 " has run " $1; bad = 1 } END { exit bad }' "$csv.partial" || exit 1
    echo "SIG$signal: $rows finished rows written beside the complete file"
done

# A study file that is a named pipe nobody writes to: Ctrl+C ends the wait.
mkfifo "$work/pipe.json"
"$program" "$work/pipe.json" --quiet 2> "$work/err" &
pid=$!
sleep 1
kill -INT "$pid"
( sleep 1; kill -KILL "$pid" 2>/dev/null ) &
watchdog=$!
wait "$pid"
status=$?
kill "$watchdog" 2>/dev/null
rm -f "$work/pipe.json"
[ "$status" -eq 130 ] || { echo "waiting on a pipe: exit status $status, expected 130"; exit 1; }
grep -q "stopped while reading" "$work/err" || { echo "waiting on a pipe: no word why"; cat "$work/err"; exit 1; }
echo "Ctrl+C ends the wait for a study file on a pipe"

# Killed outright: nothing but the files that were there.
rm -f "$csv" "$csv.partial"
"$program" "$study" -o "$csv" --threads 2 --quiet &
pid=$!
sleep 1
kill -KILL "$pid"
wait "$pid" 2>/dev/null
left=$(ls -A "$work" | grep -v -x -e study.json -e err)
[ -z "$left" ] || { echo "SIGKILL left files behind: $left"; exit 1; }
echo "SIGKILL left nothing behind"
