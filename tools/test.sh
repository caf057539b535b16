#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VELLORA_BUILD_DIR:-$root/build}"
"$root/tools/install-deps.sh"
"$root/tools/build.sh"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 300
