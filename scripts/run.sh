#!/bin/sh
# Quarto's main job without a display: installs what is missing, builds, generates a demo pair of
# trees under demo/ (once), and runs the headless report that compares them, with subdirectories.
# Further words are passed to quarto (for example -d for the Different view, or two directories
# of your own in place of the demo pair).
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build -- --target quarto quarto_gentree
if [ ! -d demo/left ]; then
    build/bench/quarto_gentree --files 300 --seed 7 demo
fi
if [ $# -eq 0 ]; then
    set -- -r demo/left demo/right
fi
status=0
build/ui/quarto --report "$@" || status=$?
case $status in
    0) echo "quarto: every listed pair is identical" ;;
    1) echo "quarto: the trees differ (flag word per pair in the first column)" ;;
    *) echo "quarto: the report failed (exit code $status)" >&2; exit "$status" ;;
esac
