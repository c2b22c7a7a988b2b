#!/usr/bin/env bash
# Fails when a C++ file under src/, tests/ or bench/ is not formatted as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
find src tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run --Werror
