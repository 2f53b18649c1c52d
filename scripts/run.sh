#!/bin/sh
# Quarto's main job: installs what is missing, builds, generates a demo pair of trees under demo/
# (once), and compares them with subdirectories. With a display (DISPLAY or WAYLAND_DISPLAY) the
# window opens on the pair; without one the headless report prints the pairs instead. Further
# words are passed to quarto (for example -d for the Different view, or two directories of your
# own in place of the demo pair).
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build -- --target quarto quarto_gentree
if [ ! -d demo/left ]; then
    build/bench/quarto_gentree --files 300 --seed 7 demo
fi
if [ $# -eq 0 ]; then
    set -- -r "$PWD/demo/left" "$PWD/demo/right"
fi
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "quarto: opening the window on $*"
    exec build/ui/quarto "$@"
fi
echo "quarto: no display (DISPLAY and WAYLAND_DISPLAY unset): printing the comparison instead of opening the window"
status=0
build/ui/quarto --report "$@" || status=$?
case $status in
    0) echo "quarto: every listed pair is identical" ;;
    1) echo "quarto: the trees differ (flag word per pair in the first column)" ;;
    *) echo "quarto: the report failed (exit code $status)" >&2; exit "$status" ;;
esac
