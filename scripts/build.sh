#!/bin/sh
# Configures and builds Quarto into build/, or into the folder given first; further words are
# CMake options, and after "--" the build's own (e.g. -- --target quarto_core_tests).
set -eu
cd "$(dirname "$0")/.."
dir="${1:-build}"
[ $# -gt 0 ] && shift
configure=""
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    configure="$configure $1"
    shift
done
[ $# -gt 0 ] && shift
# shellcheck disable=SC2086
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo $configure >/dev/null
cmake --build "$dir" -j2 "$@"
