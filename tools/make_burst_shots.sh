#!/usr/bin/env bash
# Renews the pictures of bursts on the edit page in docs/images/ (or OUT_DIR): the grid with its
# "最清晰" marks at three tile sizes, the grid after "勾选每组最清晰的一张" and the compare window
# ordered by sharpness. Builds vellora-burst-shots and runs it under Xvfb on painted bursts.
# Usage: tools/make_burst_shots.sh [OUT_DIR]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VELLORA_BUILD_DIR:-$root/build}"
out="${1:-$root/docs/images}"
"$root/tools/build.sh" vellora-burst-shots
mkdir -p "$out"
# The painted bursts' thumbnails go to a cache folder of their own, not to the user's.
cache_home=$(mktemp -d)
trap 'rm -rf "$cache_home"' EXIT
export XDG_CACHE_HOME="$cache_home"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1000x24" \
    timeout 300 "$build/tools/tour/vellora-burst-shots" "$out"
