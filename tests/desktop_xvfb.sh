#!/bin/sh
# The desktop game under a virtual X server with a window manager, driven by real key
# presses through the X test extension: the window is decorated and resizable, bindings
# from a temporary settings folder turn the keys into the game's keys (the recording speaks
# only those), the menu starts a game from the keyboard, and Alt+Enter is remembered.
# Usage (inside xvfb-run): desktop_xvfb.sh ORBITA   Exit 77: skipped.
set -u
. "$(dirname "$0")/xwindow.sh"
orbita=$1
for tool in openbox xdotool xprop; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$tool is missing: skipped"; exit 77; }
done
tmp=$(mktemp -d)
wm=
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [ -f "$tmp/err" ] && cat "$tmp/err" >&2; exit 1; }

openbox >/dev/null 2>&1 &
wm=$!
sleep 1
export XDG_CONFIG_HOME="$tmp/config"
mkdir -p "$XDG_CONFIG_HOME/orbita"
ini="$XDG_CONFIG_HOME/orbita/orbita.ini"
printf '[keys]\nback = Q\nfire = A\n' > "$ini"

ORBITA_NO_MESSAGE_BOX=1 SDL_AUDIODRIVER=dummy "$orbita" --windowed --seed 7 --frames 500 \
  --record "$tmp/rec.txt" --dump-state "500:$tmp/end.json" 2>"$tmp/err" &
pid=$!
win=$(window_titled "Orbita")
[ -n "$win" ] || fail "no window"
sleep 0.5
# Decorated: the window manager framed it; resizable: its size hints are not fixed.
xprop -id "$win" _NET_FRAME_EXTENTS | grep -q '= [1-9]\|, [1-9]' || fail "no frame around the window"
hints=$(xprop -id "$win" WM_NORMAL_HINTS)
minimum=$(echo "$hints" | sed -n 's/.*minimum size: *\([0-9]* by [0-9]*\).*/\1/p')
maximum=$(echo "$hints" | sed -n 's/.*maximum size: *\([0-9]* by [0-9]*\).*/\1/p')
[ -n "$maximum" ] && [ "$minimum" = "$maximum" ] && fail "the window has a fixed size ($minimum)"
xdotool windowactivate --sync "$win" >/dev/null 2>&1 || xdotool windowfocus --sync "$win"
sleep 0.3
xdotool key q            # back (bound to Q): the story ends, the title shows
sleep 0.6
xdotool key q            # and the menu
sleep 2.5                # the menu picture drops in
xdotool key Return       # the start box, by the keyboard
sleep 0.6
xdotool key alt+Return   # full screen, remembered in the settings
sleep 0.6
xdotool key minus        # the volume down by 10, remembered too
sleep 0.4
wait "$pid"
status=$?
pid=
[ "$status" -eq 0 ] || fail "the game ended with status $status"
[ -s "$tmp/end.json" ] || fail "no state dump"
tr -d ' \n' < "$tmp/end.json" | grep -q '"inMenu":false' || fail "the keyboard did not start a game"
tr -d ' \n' < "$tmp/end.json" | grep -q '"inStory":false' || fail "the bound back key did not end the story"
grep -q 'Escape' "$tmp/rec.txt" || fail "the recording lacks the game's Escape"
grep -q ' Q\b' "$tmp/rec.txt" && fail "the recording names the pressed Q, not the game's key"
grep -q 'click' "$tmp/rec.txt" || fail "the menu's choice is not recorded as the pointer's click"
grep -q '^mode = fullscreen' "$ini" || fail "Alt+Enter was not remembered: $(cat "$ini")"
grep -q '^back = Q' "$ini" || fail "the bindings were lost when the settings were written"
grep -q '^music = 90' "$ini" || fail "the volume key was not remembered: $(cat "$ini")"
# The recording, made with bindings, replays the same game without them (its hashes agree).
env -u XDG_CONFIG_HOME "$orbita" --headless --play "$tmp/rec.txt" 2>"$tmp/replay" || fail "the recording does not replay: $(cat "$tmp/replay")"
grep -q 'differs' "$tmp/replay" && fail "the replay differs: $(cat "$tmp/replay")"
echo "desktop window: decorated, resizable, bindings, menu by keys, Alt+Enter and volume remembered"
