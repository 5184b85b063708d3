#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: unit and GUI tests offscreen, end-to-end tests
# against a real X server (Xvfb), a real editor and a real tray host; then, for a full run (no arguments),
# the Debian package: built, checked by lintian, installed, used by a new user and purged again, and the
# parsers fuzzed for FUZZ_SECONDS (default 30) each.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test
bash scripts/build.sh
# The end-to-end tests type and compare non-ASCII text; a fresh machine may have no locale set at all.
export LC_ALL=C.UTF-8
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
mkdir -p build/artifacts
xvfb=(xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp")
"${xvfb[@]}" ctest --test-dir build --output-on-failure --timeout 300 "$@"
if [ $# -eq 0 ]; then
    # The program as a machine without the Wayland packages builds it: X11 only, and nothing of Wayland in it.
    cmake -S . -B build-x11 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWORDWISP_WITH_WAYLAND=OFF -DBUILD_TESTING=OFF \
        -DWORDWISP_BENCH=OFF >/dev/null
    cmake --build build-x11 -j"$(nproc)" --target wordwisp
    build-x11/wordwisp --version
    bash scripts/package.sh
    # 77: skipped, because the package is installed on this machine already.
    "${xvfb[@]}" bash tests/package/deb_install.sh build-package/wordwisp_*.deb build/artifacts || [ $? -eq 77 ]
    bash scripts/fuzz.sh "${FUZZ_SECONDS:-30}"
fi
