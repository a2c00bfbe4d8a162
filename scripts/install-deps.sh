#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Kalvex need,
# and only those that are missing. Safe to run again: it does nothing when all are present.
set -euo pipefail

packages=(
  g++ cmake ninja-build make ccache
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg-dev
  fonts-liberation2
  xvfb xauth xfonts-base xdotool imagemagick
  locales
  nlohmann-json3-dev libcli11-dev libboost-dev libgsl-dev
  pybind11-dev python3-dev python3-numpy python3-pytest python3-distributed python3-pandas
  libsundials-dev libnlopt-dev qt6-svg-dev poppler-utils clang
  help2man dpkg-dev lintian file
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# A locale with a decimal comma, so the tests can prove that reports and summaries
# keep their decimal point and that fields follow the user's separator.
if ! locale -a 2>/dev/null | grep -qi '^cs_CZ\.utf-\?8$'; then
  echo "Generating the cs_CZ.UTF-8 locale"
  "${sudo_cmd[@]}" sed -i 's/^# *\(cs_CZ.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^cs_CZ.UTF-8 UTF-8' /etc/locale.gen || echo 'cs_CZ.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
