#!/usr/bin/env bash
# Installs what is needed, builds, starts the stand-in service in the background (when it is
# built) and starts Vellora against it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VELLORA_BUILD_DIR:-$root/build}"
"$root/tools/install-deps.sh"
# Only what runs here: the programs and the stand-in service, not the tests.
"$root/tools/build.sh" programs

if [ -x "$build/bin/vellora-standin" ]; then
    data="${VELLORA_STANDIN_DATA:-$HOME/.local/share/vellora-standin}"
    mkdir -p "$data"
    "$build/bin/vellora-standin" --port 18080 --data "$data" >"$data/standin.log" 2>&1 &
    standin=$!
    trap 'kill $standin 2>/dev/null || true' EXIT
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting Vellora under Xvfb" >&2
    xvfb-run -a -s "-screen 0 1600x1000x24" "$build/bin/QVellora"
else
    "$build/bin/QVellora"
fi
