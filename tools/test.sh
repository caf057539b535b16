#!/usr/bin/env bash
# Installs what is needed, checks the formatting, builds with warnings as errors and runs every
# test; then builds a second time with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-sanitize/ (or $VELLORA_SANITIZE_BUILD_DIR) and runs every test once more.
# VELLORA_SKIP_SANITIZE=1 leaves the second round out (quicker local runs).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VELLORA_BUILD_DIR:-$root/build}"
sanitize_build="${VELLORA_SANITIZE_BUILD_DIR:-$root/build-sanitize}"
jobs="$(nproc)"

"$root/tools/install-deps.sh"
bash "$root/tools/check-format.sh"

VELLORA_BUILD_DIR="$build" "$root/tools/build.sh" -DVELLORA_WERROR=ON -DVELLORA_SANITIZE=OFF
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs" --timeout 300)

if [ "${VELLORA_SKIP_SANITIZE:-0}" = 1 ]; then
    exit 0
fi
# Unoptimised with line tables only (-g1): the quickest build whose reports still name file and line.
VELLORA_BUILD_DIR="$sanitize_build" "$root/tools/build.sh" -DVELLORA_WERROR=ON -DVELLORA_SANITIZE=ON \
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1
# Leaks inside the system's platform plugins and font libraries are named in tools/lsan.supp;
# every other leak still fails the test that made it.
# Full stacks on every allocation, so that a suppression matches a library anywhere on the stack.
export ASAN_OPTIONS="detect_leaks=1:fast_unwind_on_malloc=0:detect_stack_use_after_return=0"
# Thread-local storage is not scanned (use_tls=0): image plugins that are unloaded at exit leave
# a stale thread-local block behind (libheif, libavif and their codecs), and scanning it crashes
# LeakSanitizer itself. Memory only thread-local storage points to is then reported as a leak,
# never hidden; GLib's own per-thread blocks are named in the suppressions for that reason.
export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0:use_tls=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd "$sanitize_build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs" --timeout 600)
