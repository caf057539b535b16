#!/usr/bin/env bash
# Configures and builds Vellora into build/ (or $VELLORA_BUILD_DIR).
# Usage: tools/build.sh [-DOPTION=VALUE...] [TARGET...]
# Arguments starting with -D go to cmake (for example -DVELLORA_SANITIZE=ON); the others name the
# targets to build. Without targets everything is built, tests included. ccache is used when it
# is installed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VELLORA_BUILD_DIR:-$root/build}"
options=()
targets=()
for argument in "$@"; do
    case "$argument" in
        -D*) options+=("$argument") ;;
        *) targets+=(--target "$argument") ;;
    esac
done
if command -v ccache >/dev/null 2>&1; then
    options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # Paths relative to the checkout, so a fresh clone elsewhere (CI) reuses what was compiled.
    export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
