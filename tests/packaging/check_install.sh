#!/usr/bin/env bash
# Installs the build folder into a scratch DESTDIR as under /usr and checks what a user gets.
# Usage: check_install.sh BUILD_DIR PROGRAM...
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=tests/packaging/tree_checks.sh
source "$here/tree_checks.sh"
build=$1
shift

dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR=$dest cmake --install "$build" --prefix /usr >/dev/null || fail "cmake --install failed"
check_tree "$dest" "$@"
echo "install tree holds $*, the desktop entry and the icons"
