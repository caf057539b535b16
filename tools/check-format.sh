#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format makes of it with the project's
# .clang-format. Mend with: git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
