#!/bin/sh
# Takes a screenshot of the real program under Xvfb: generates the demo pair (once), starts
# quarto on it with subdirectories and a fresh settings file, waits for the first refresh to
# draw, and grabs the screen into the file given (default doc/screenshot.png).
set -eu
cd "$(dirname "$0")/.."
out="${1:-doc/screenshot.png}"
scripts/deps.sh
scripts/build.sh build -- --target quarto quarto_gentree
if [ ! -d demo/left ]; then
    build/bench/quarto_gentree --files 300 --seed 7 demo
fi
work=$(mktemp -d)
display=":$((90 + $$ % 100))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
quarto=""
cleanup() {
    [ -n "$quarto" ] && kill "$quarto" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM
# Xvfb is ready once a client can connect.
for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
mkdir -p "$work/config"
printf '[Settings]\nDisplayLogo=0\nConfirmExit=0\n' >"$work/config/Quarto.conf.in"
mkdir -p "$work/config/Brightvale" && mv "$work/config/Quarto.conf.in" "$work/config/Brightvale/Quarto.conf"
DISPLAY="$display" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" \
    build/ui/quarto -r "$PWD/demo/left" "$PWD/demo/right" &
quarto=$!
# The window is there once xdotool finds its title; the first refresh of the demo pair is over
# once the progress dialog ("Quarto working...") has gone again.
window=""
for _ in $(seq 300); do
    window=$(DISPLAY="$display" xdotool search --name 'view=' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "screenshot: the window did not appear" >&2; exit 1; }
sleep 1
for _ in $(seq 100); do
    DISPLAY="$display" xdotool search --name 'Quarto working' >/dev/null 2>&1 || break
    sleep 0.1
done
sleep 1
mkdir -p "$(dirname "$out")"
DISPLAY="$display" import -window "$window" "$out"
echo "screenshot: $out"
