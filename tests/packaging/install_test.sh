#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed kalvex-batch on an
# installed example: the report must be the same bytes as the build folder's program writes.
# Then builds the Debian package and checks that it holds what a desktop user needs.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
installed="$work/prefix/bin/kalvex-batch"
example="$work/prefix/share/kalvex/rifle-7.62mm.txt"
[ -x "$installed" ] || { echo "no installed kalvex-batch"; exit 1; }
[ -f "$example" ] || { echo "no installed example"; exit 1; }
"$installed" "$example" --energy -o "$work/installed.txt" >"$work/installed.memo"
"$build/batch/kalvex-batch" "$build/batch/rifle-7.62mm.txt" --energy -o "$work/built.txt" >"$work/built.memo"
cmp "$work/installed.txt" "$work/built.txt"
cmp "$work/installed.memo" "$work/built.memo"
"$installed" --version | grep -q '^kalvex-batch '
if [ -d "$build/python/kalvex" ]; then
  # the installed Python package gives the same summary as the installed program
  PYTHONPATH="$work/prefix/lib/python3/dist-packages" /usr/bin/python3 -c \
    "import kalvex, sys; sys.stdout.write(kalvex.run(kalvex.load_report(sys.argv[1])).memo)" "$example" >"$work/python.memo"
  "$installed" "$example" >"$work/batch.memo"
  cmp "$work/python.memo" "$work/batch.memo"
fi

(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/kalvex_*.deb)
contents=$(dpkg-deb --contents "$deb")
for path in ./usr/bin/kalvex ./usr/bin/kalvex-batch ./usr/share/applications/kalvex.desktop \
            ./usr/share/icons/hicolor/256x256/apps/kalvex.png ./usr/share/man/man1/kalvex.1.gz \
            ./usr/share/man/man1/kalvex-batch.1.gz ./usr/share/kalvex/rifle-7.62mm.txt \
            ./usr/share/doc/kalvex/study-file.md ./usr/share/doc/kalvex/propellants.md; do
  grep -q " $path\$" <<<"$contents" || { echo "package lacks $path"; exit 1; }
done
for optional in kalvex-study kalvex-report kalvex-vessel; do
  if [ -x "$build/batch/$optional" ] || [ -x "$build/study/$optional" ] || [ -x "$build/tools/$optional" ] || [ -x "$build/vessel/$optional" ]; then
    grep -q " ./usr/bin/$optional\$" <<<"$contents" || { echo "package lacks $optional"; exit 1; }
  fi
done
# The manual pages give examples and the files they use.
for page in "$build"/man/*.1.gz; do
  [ -e "$page" ] || continue
  zcat "$page" | grep -q '^\.SH EXAMPLES' || { echo "$(basename "$page") has no EXAMPLES"; exit 1; }
  zcat "$page" | grep -q '^\.SH FILES' || { echo "$(basename "$page") has no FILES"; exit 1; }
done
