#!/usr/bin/env bash
# The example studies and their outputs in examples/studies/ agree: each study, run again,
# gives its output byte for byte.
set -u
program=$1 studies=$2 work=$3/examples-again
rm -rf "$work" && mkdir -p "$work"
status=0
check() {  # expected file, produced file
    cmp -s "$1" "$2" || { echo "$(basename "$1") is out of date"; diff "$1" "$2" | head -5; status=1; }
}
for study in "$studies"/*.json; do
    name=$(basename "$study" .json)
    case $name in
    *-sweep) "$program" "$study" -o "$work/$name.csv" --quiet && check "$studies/$name.csv" "$work/$name.csv" ;;
    *-tolerance) "$program" "$study" -o "$work/$name.csv" > "$work/$name.txt" &&
        check "$studies/$name.csv" "$work/$name.csv" && check "$studies/$name.txt" "$work/$name.txt" ;;
    *) "$program" "$study" > "$work/$name.txt" && check "$studies/$name.txt" "$work/$name.txt" ;;
    esac || { echo "$name failed"; status=1; }
done
exit $status
