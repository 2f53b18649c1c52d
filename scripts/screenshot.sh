#!/bin/sh
# Takes screenshots of the real program under Xvfb, on the demo pair in /var/tmp/quarto-demo
# (generated once, the same files every time, so the pictures show no path of a checkout) with
# subdirectories and a fresh settings file.
#
#   scripts/screenshot.sh [FILE]     the main window after its first comparison, into FILE
#                                    (default doc/screenshot.png)
#   scripts/screenshot.sh --manual   the manual's pictures, into res/help/images/: the window, the
#                                    Different view with marked rows and their context menu, the
#                                    progress dialog, the statistics, two pages of the settings
#
# Every picture is stripped of metadata (ImageMagick) and squeezed with pngcrush when it is
# installed.
set -eu
cd "$(dirname "$0")/.."
manual=""
if [ "${1:-}" = "--manual" ]; then
    manual=1
    shift
fi
out="${1:-doc/screenshot.png}"
scripts/deps.sh
scripts/build.sh build -- --target quarto quarto_gentree
demo=/var/tmp/quarto-demo
[ -w /var/tmp ] || demo=/tmp/quarto-demo
if [ ! -d "$demo/left" ]; then
    fresh=$(mktemp -d "$demo.XXXXXX")
    build/bench/quarto_gentree --files 300 --seed 7 "$fresh" >/dev/null
    mv -T "$fresh" "$demo" 2>/dev/null || rm -rf "$fresh"  # another run made it first
fi

work=$(mktemp -d)
# The manual's pictures come from a small screen, so that the dialogs take the sizes they take
# there and every picture fits the help window.
screen=1280x800x24
[ -n "$manual" ] && screen=800x600x24
# Xvfb picks a free display itself and writes its number.
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
quarto=""
cleanup() {
    [ -n "$quarto" ] && kill "$quarto" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
DISPLAY=":$(cat "$work/display")"
export DISPLAY
xdpyinfo >/dev/null 2>&1 || { echo "screenshot: Xvfb did not start" >&2; exit 1; }

# The id of the first window whose title matches $1, once it is there (empty after 20 s).
window_named() {
    for _ in $(seq 200); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [ -n "$id" ] && {
            echo "$id"
            return
        }
        sleep 0.1
    done
}
# Waits until no window's title matches $1 (a job's progress dialog gone).
until_gone() {
    for _ in $(seq 300); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
}
# Starts quarto on the demo pair with the settings lines given and waits for its window.
start_quarto() {
    mkdir -p "$work/config/Brightvale"
    printf '[Settings]\nDisplayLogo=0\nConfirmExit=0\n%s\n' "$1" >"$work/config/Brightvale/Quarto.conf"
    XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" LC_ALL=C.UTF-8 \
        build/ui/quarto -r "$demo/left" "$demo/right" 2>/dev/null &
    quarto=$!
    window=$(window_named 'view=')
    [ -n "$window" ] || { echo "screenshot: the window did not appear" >&2; exit 1; }
}
# Keys go to the window with the input focus; without a window manager nobody else gives it.
keys() {
    target=$1
    shift
    xdotool windowfocus --sync "$target" key --delay 80 "$@"
}
# Saves window $1 into $2 (with what is open over it when $3 is "screen": a menu, say).
shoot() {
    mkdir -p "$(dirname "$2")"
    if [ "${3:-}" = "screen" ]; then
        eval "$(xdotool getwindowgeometry --shell "$1")"
        import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
    else
        import -window "$1" "$2"
    fi
    convert "$2" -strip -define png:compression-level=9 "$2"
    if command -v pngcrush >/dev/null; then pngcrush -q -ow "$2" 2>/dev/null || true; fi
    echo "screenshot: $2"
}

if [ -z "$manual" ]; then
    start_quarto ""
    sleep 1
    until_gone 'Quarto working'
    sleep 1
    shoot "$window" "$out"
    exit 0
fi

images=res/help/images
# A window of the help window's width with its columns sized for the texts; the scan pauses 10 ms
# after each entry so that the first comparison's progress dialog stays a few seconds.
start_quarto "ScanPausePerEntry=10
wp.flags=0
wp.showCmd=1
wp...left=0
wp...top=0
wp...right=760
wp...bottom=560
DrivePaneHeight=130
LeftNameColumnWidth=160
LeftSizeColumnWidth=48
LeftDateTimeColumnWidth=150
RightNameColumnWidth=160
RightSizeColumnWidth=48
RightDateTimeColumnWidth=150"
progress=$(window_named 'Quarto working')
sleep 1.5
[ -n "$progress" ] && shoot "$progress" "$images/progress.png"
until_gone 'Quarto working'
sleep 0.5
shoot "$window" "$images/main-window.png"

# The Different view; clicks on two rows of the left list mark them (a right click on the only
# marked row would take its mark), a right click on the second opens the context menu.
keys "$window" ctrl+alt+d
sleep 0.5
until_gone 'Quarto working'
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$window")"
row_x=$((X + 60))
row_y=$((Y + 229))
xdotool mousemove "$row_x" "$row_y" click 1
sleep 0.3
xdotool mousemove "$row_x" $((row_y + 36)) keydown ctrl click 1 keyup ctrl
sleep 0.5
xdotool mousemove $((X + 340)) $((row_y + 36)) click 3  # the menu opens right-aligned there
sleep 0.7
shoot "$window" "$images/different-view.png" screen
xdotool key Escape
sleep 0.3

keys "$window" F10
stats=$(window_named '^Statistics$')
sleep 0.5
shoot "$stats" "$images/statistics.png"
keys "$stats" Escape
sleep 0.3

keys "$window" alt+o s
sheet=$(window_named '^Settings$')
sleep 0.5
shoot "$sheet" "$images/settings-check.png"
keys "$sheet" ctrl+Tab ctrl+Tab ctrl+Tab ctrl+Tab ctrl+Tab
sleep 0.4
shoot "$sheet" "$images/settings-colors.png"
keys "$sheet" Escape
