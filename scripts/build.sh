#!/bin/sh
# Configures and builds Quarto into build/ (or the folder given as $1, with extra CMake options after it).
set -eu
cd "$(dirname "$0")/.."
dir="${1:-build}"
[ $# -gt 0 ] && shift
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir" -j2
