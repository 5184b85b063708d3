#!/usr/bin/env bash
# Installs the Debian packages Wordwisp needs, only those that are missing.
#   deps.sh build   what building and running the program needs
#   deps.sh package that, plus what making and checking the Debian package needs
#   deps.sh fuzz    what building and running the program needs, plus clang and libFuzzer for the fuzz targets
#   deps.sh test    all of that, plus what the end-to-end tests drive (Xvfb, a foreign editor, a tray host,
#                   a headless sway with wtype and wl-clipboard, XFCE's window manager and panel, Syncthing ...)
set -euo pipefail

build=(cmake g++ make pkg-config qt6-base-dev qt6-qpa-plugins libxtst-dev libx11-dev libxfixes-dev libxcb1-dev fonts-liberation
       libwayland-dev libwayland-bin libxkbcommon-dev libyaml-cpp-dev
       xdg-utils)
test=(libgtest-dev libbenchmark-dev xvfb xauth xdotool xclip x11-utils l3afpad trayer
      matchbox-window-manager openbox imagemagick lxterminal strace sway wtype wl-clipboard wayland-utils qt6-wayland
      python3 dbus kwin-wayland xwayland iproute2 python3-dbus python3-gi xfwm4 xfce4-panel xfconf mutter
      python3-xlib gnome-terminal syncthing curl)
package=(dpkg-dev fakeroot file lintian appstream desktop-file-utils)
fuzz=(clang libclang-rt-14-dev)

wanted=("${build[@]}")
case "${1:-build}" in
    package) wanted+=("${package[@]}") ;;
    fuzz) wanted+=("${fuzz[@]}") ;;
    test) wanted+=("${package[@]}" "${test[@]}" "${fuzz[@]}") ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
