#!/usr/bin/env bash
# The Debian package as a user gets it: built by CPack from a build folder
# (default build/), checked by lintian (no error may be reported), unpacked
# with dpkg-deb into a temporary folder, and the unpacked velluno-cli run on
# the sample skin, which must be described whole with no problem.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
arch=$(dpkg --print-architecture)
rm -f "$build"/velluno_*.deb
(cd "$build" && cpack -G DEB >/dev/null 2>&1)
debs=("$build"/velluno_*_"$arch".deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "package-test: cpack made no single velluno_VERSION_$arch.deb in $build" >&2
  exit 1
fi
deb=${debs[0]}
echo "$deb"
status=0
report=$(lintian --fail-on error "$deb" 2>&1) || status=$?
grep -v '^running with root privileges' <<<"$report" || true
if [ "$status" -ne 0 ]; then
  echo "package-test: lintian reports an error on $deb" >&2
  exit 1
fi

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
for f in usr/bin/velluno usr/bin/velluno-cli usr/share/velluno/default/colors.txt \
         usr/share/applications/org.velluno.Velluno.desktop usr/share/metainfo/org.velluno.Velluno.metainfo.xml \
         usr/share/mime/packages/org.velluno.Velluno.xml usr/share/icons/hicolor/48x48/apps/org.velluno.Velluno.png \
         usr/share/doc/velluno/copyright usr/share/doc/velluno/changelog.gz; do
  if [ ! -f "$unpacked/$f" ]; then
    echo "package-test: the package lacks $f" >&2
    exit 1
  fi
done
mkdir "$unpacked/skin"
cp examples/varavave/* "$unpacked/skin/"
info=$("$unpacked/usr/bin/velluno-cli" info "$unpacked/skin/varavave.ski")
for line in "Lines:          139" "Graphic objects: 26" "Problems:       none"; do
  if ! grep -qF "$line" <<<"$info"; then
    echo "package-test: the unpacked velluno-cli info does not say \"$line\":" >&2
    echo "$info" >&2
    exit 1
  fi
done
echo "package-test: lintian reports no error; the unpacked velluno-cli describes the sample"
