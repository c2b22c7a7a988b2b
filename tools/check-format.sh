#!/usr/bin/env bash
# Fails when a C++ file under src/, tests/, bench/ or fuzz/ is not formatted as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run --Werror
