#!/usr/bin/env bash
# Ctrl+C on kalvex-study: it must exit with 130 and leave every finished row, in order, in
# the CSV file.
set -u
program=$1 examples=$2 work=$3
study=$work/interrupt-study.json csv=$work/interrupt.csv
rm -f "$csv"
cat > "$study" <<JSON
{"kind": "tolerance", "base": "$examples/rifle-7.62mm.txt",
 "tolerance": {"parameters": [{"parameter": "C", "sigma": 1e-5}], "samples": 100000, "seed": 1}}
JSON
"$program" "$study" -o "$csv" --threads 2 --quiet &
pid=$!
sleep 2
kill -INT "$pid"
# Within a second: a watchdog kills it for good after that, and the status tells.
( sleep 1; kill -KILL "$pid" 2>/dev/null ) &
watchdog=$!
wait "$pid"
status=$?
kill "$watchdog" 2>/dev/null
[ "$status" -eq 130 ] || { echo "exit status $status, expected 130"; exit 1; }
rows=$(($(wc -l < "$csv") - 1))
[ "$rows" -ge 1 ] || { echo "no finished row written"; exit 1; }
# Run numbers 1..rows without gap.
awk -F, 'NR > 1 && $1 != NR - 1 { print "row " NR - 1 " has run " $1; bad = 1 } END { exit bad }' "$csv" || exit 1
echo "$rows finished rows written"
