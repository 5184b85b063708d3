#!/usr/bin/env bash
# Configures (once) and builds into build/. Arguments go to the build tool, e.g. `--target wordwisp`.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/CMakeCache.txt ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" "$@"
