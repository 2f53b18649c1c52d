#!/bin/sh
# Installs the Debian 12 packages Quarto needs to build, test, benchmark and package (and to
# check the package), when missing; a font, so the window draws its texts offscreen too; Xvfb
# and the X tools that take the window's screenshots.
set -eu
packages="build-essential cmake g++ qt6-base-dev libgtest-dev clang libclang-rt-14-dev fonts-dejavu-core
    desktop-file-utils appstream man-db dpkg-dev librsvg2-bin python3 qt6-qpa-plugins
    xvfb x11-utils xdotool imagemagick pngcrush"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing >/dev/null
