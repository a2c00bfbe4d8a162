#!/usr/bin/env bash
# Starts the program. Where no display can be opened, says so and shows the
# work of the program on the console instead.
set -euo pipefail
build=${1:-build}
if [ -x "$build/ui/kalvex" ]; then
  exec "$build/ui/kalvex"
fi
exec "$build/core/kalvex-console"
