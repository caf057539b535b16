#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks its file list, its control fields
# and the tree it unpacks to.
# Usage: check_package.sh BUILD_DIR PROGRAM...
set -euo pipefail
# shellcheck source=tests/packaging/tree_checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/tree_checks.sh"
begin "$@"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
debs=("$scratch"/*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    fail "cpack made no single .deb"
fi
deb=${debs[0]}

listing=$(dpkg-deb -c "$deb" | awk '{print $NF}')
for path in "${programs[@]/#/./usr/bin/}" ./usr/share/applications/vellora.desktop \
    ./usr/share/icons/hicolor/64x64/apps/vellora.png; do
    grep -qx -- "$path" <<<"$listing" || fail "package lacks $path"
done
if grep -E '/tst_|vellora-standin|_bench$|\.a$' <<<"$listing" >&2; then
    fail "package holds test programs, the stand-in service, benchmarks or libraries"
fi

[ "$(dpkg-deb -f "$deb" Package)" = vellora ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Section)" = graphics ] || fail "package section"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "package has no maintainer"
depends=$(dpkg-deb -f "$deb" Depends)
# Worked out from the binaries, so the libraries they link must be named.
for library in libc6 libqt5core5a libqt5widgets5 libqt5network5; do
    grep -q "\b$library\b" <<<"$depends" || fail "Depends lacks $library: $depends"
done
# The image plugins are loaded at run time, not linked, so they are named by hand.
for plugins in qt5-image-formats-plugins kimageformat-plugins libheif1; do
    grep -q "\b$plugins\b" <<<"$depends" || fail "Depends lacks $plugins: $depends"
done
if [[ " ${programs[*]} " == *" QTarnwick "* ]]; then
    grep -q 'libquazip1-qt5' <<<"$depends" || fail "Depends lacks QuaZip: $depends"
fi

dpkg-deb -x "$deb" "$scratch/root"
check_tree "$scratch/root" "${programs[@]}"
echo "$(basename "$deb") holds ${programs[*]}, the desktop entry and the icons; Depends: $depends"
