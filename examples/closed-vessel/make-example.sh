#!/bin/sh
# Makes the closed-vessel example again: five synthetic firings of the propellant of
# propellant.json (a law of three segments meeting at 40 and 100 MPa) in a 200 cm^3 vessel with
# a 1 g igniter, at 100, 200 and 300 kg/m^3 at 21 °C and at 200 kg/m^3 at -40 and +60 °C, each
# sampled every 10 us with Gaussian noise of 0.5 % of p; then their reduction, its JSON record
# and its pictures. Run from the repository's root with the programs built in build/:
#   sh examples/closed-vessel/make-example.sh
set -e
vessel=${KALVEX_VESSEL:-build/vessel/kalvex-vessel}
here=examples/closed-vessel
for firing in "20 21 1" "40 21 2" "60 21 3" "40 -40 4" "40 60 5"; do
  set -- $firing
  "$vessel" simulate --input $here/propellant.json --volume 200 --charge $1 --temperature $2 \
    --after-burnout 4 --noise 0.005 --seed $3 -o $here/firing-$1g-$2C.csv
done
"$vessel" reduce --input $here/propellant.json --p-low 40 --p-low 100 --ignition-at-zero \
  --firing $here/firing-20g-21C.csv,200,20 --firing $here/firing-40g-21C.csv,200,40 \
  --firing $here/firing-60g-21C.csv,200,60 --firing $here/firing-40g--40C.csv,200,40,-40 \
  --firing $here/firing-40g-60C.csv,200,40,60 \
  --export-json $here/reduction.json --pictures $here/pictures > $here/reduction.txt
cat $here/reduction.txt
