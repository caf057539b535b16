#!/usr/bin/env bash
# Configures and builds Vellora into build/ (or $VELLORA_BUILD_DIR).
# Usage: tools/build.sh [TARGET...]   without targets everything is built, tests included.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VELLORA_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
for target in "$@"; do
    targets+=(--target "$target")
done
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
