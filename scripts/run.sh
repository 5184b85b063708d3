#!/usr/bin/env bash
# Installs what is missing, builds, gives the program the example store if it has none, and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh build
bash scripts/build.sh --target wordwisp
home="${WORDWISP_HOME:-$PWD/build}"
if [ ! -d "$home/Db" ]; then
    mkdir -p "$home"
    cp -r examples/Db "$home/Db"
    echo "Gave the program the example store in $home/Db"
fi
WORDWISP_HOME="$home" exec ./build/wordwisp
