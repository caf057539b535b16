#!/usr/bin/env bash
# Installs the build folder into a scratch DESTDIR as under /usr and checks what a user gets.
# Usage: check_install.sh BUILD_DIR PROGRAM...
set -euo pipefail
# shellcheck source=tests/packaging/tree_checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/tree_checks.sh"
begin "$@"

DESTDIR=$scratch cmake --install "$build" --prefix /usr >/dev/null || fail "cmake --install failed"
check_tree "$scratch" "${programs[@]}"
echo "install tree holds ${programs[*]}, the desktop entry and the icons"
