#!/usr/bin/env bash
# Renews the README's screenshots in docs/tour/ (or OUT_DIR): builds vellora-tour and runs it under
# Xvfb, where it drives the real window through a round on painted photos. Run it after a change
# of the interface and commit the pictures.
# Usage: tools/make_tour.sh [OUT_DIR]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VELLORA_BUILD_DIR:-$root/build}"
out="${1:-$root/docs/tour}"
"$root/tools/install-deps.sh"
"$root/tools/build.sh" vellora-tour
mkdir -p "$out"
# The tour's photos are painted for the run: their thumbnails go to a cache folder of its own, not
# to the user's.
cache_home=$(mktemp -d)
trap 'rm -rf "$cache_home"' EXIT
export XDG_CACHE_HOME="$cache_home"
# xvfb-run ends its X server when the tour ends; timeout ends a tour that hangs.
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1000x24" \
    timeout 300 "$build/tools/tour/vellora-tour" "$out"
