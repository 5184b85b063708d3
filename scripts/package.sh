#!/usr/bin/env bash
# Builds the Debian package into build-package/: wordwisp_<version>_amd64.deb.
# Install it with: sudo apt-get install ./build-package/wordwisp_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh package
# A tree of its own: a release build that knows nothing of this source folder, without tests, with
# Debian's hardening flags.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
[ -f build-package/CMakeCache.txt ] || cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF -DWORDWISP_BENCH=OFF -DWORDWISP_SOURCE_FILES=OFF
cmake --build build-package -j"$(nproc)"
rm -f build-package/wordwisp_*.deb
(cd build-package && cpack -G DEB)
ls -l build-package/wordwisp_*.deb
