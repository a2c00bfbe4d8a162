#!/usr/bin/env bash
# Sizes that must not exhaust memory, run under an address-space limit (ulimit -v, RLIMIT_AS)
# so that a regression fails at once instead of taking gigabytes: a sweep of a billion values
# streams its rows and stops within a second on SIGTERM.
set -u
program=$1 examples=$2 work=$3/bounded
rm -rf "$work" && mkdir -p "$work"
cat > "$work/sweep.json" <<JSON
{"kind": "sweep", "base": "$examples/rifle-7.62mm.txt",
 "sweep": {"parameter": "C", "from": 0.0026, "to": 0.0031, "count": 1e9}}
JSON
( ulimit -v 1000000; exec "$program" "$work/sweep.json" -o "$work/rows.csv" --threads 2 --quiet ) 2> "$work/err" &
pid=$!
sleep 2
kill -TERM "$pid"
( sleep 1; kill -KILL "$pid" 2>/dev/null ) &
watchdog=$!
wait "$pid"
status=$?
kill "$watchdog" 2>/dev/null
[ "$status" -eq 130 ] || { echo "exit status $status, expected 130"; cat "$work/err"; exit 1; }
rows=$(($(wc -l < "$work/rows.csv.partial") - 1))
[ "$rows" -ge 1 ] || { echo "no row written"; exit 1; }
echo "a sweep of 1e9 values ran within 1 GB of address space and stopped: $rows rows written"
