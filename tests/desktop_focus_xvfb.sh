#!/bin/sh
# Focus under a virtual X server with a window manager: when another window takes the focus
# the game stops with the pause text on its picture, and when the focus comes back the play
# goes on and the text is gone. The window's pixels are read from the X server.
# Usage (inside xvfb-run): desktop_focus_xvfb.sh ORBITA PROBE   Exit 77: skipped.
set -u
. "$(dirname "$0")/xwindow.sh"
orbita=$1
probe=$2
for tool in openbox xdotool xmessage; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$tool is missing: skipped"; exit 77; }
done
tmp=$(mktemp -d)
wm=
pid=
other=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$other" ] && kill "$other" 2>/dev/null
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [ -f "$tmp/err" ] && cat "$tmp/err" >&2; exit 1; }
# The pause text's rows of the picture (the window at 1x shows it at its own place), and
# the play area above the HUD.
text() { "$probe" "$win" 190 140 300 50 "$@"; }
play() { "$probe" "$win" 0 0 640 380 "$@" | cut -d' ' -f2; }
focus() { xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1"; }

openbox >/dev/null 2>&1 &
wm=$!
sleep 1
export XDG_CONFIG_HOME="$tmp/config"
ORBITA_NO_MESSAGE_BOX=1 SDL_AUDIODRIVER=dummy "$orbita" --windowed --warp 1 --god --seed 7 --frames 200 \
  --dump-state "200:$tmp/end.json" 2>"$tmp/err" &
pid=$!
win=$(window_titled "Orbita")
[ -n "$win" ] || fail "no window"
focus "$win"
sleep 1
playing=$(text | cut -d' ' -f1)
a=$(play); sleep 0.3; b=$(play)
[ "$a" != "$b" ] || fail "the game does not move while it has the focus"

# Another program's window, away from the game's, takes the focus.
xmessage -title "Another window" -geometry +1500+900 "another program" &
other=$!
owin=$(window_titled "Another window")
[ -n "$owin" ] || fail "the other window did not open"
focus "$owin"
sleep 0.5
paused=$(text "$tmp/paused.ppm" | cut -d' ' -f1)
a=$(play); sleep 0.5; b=$(play)
[ "$paused" -ge 100 ] && [ "$paused" -gt $((playing * 2)) ] ||
  fail "no pause text without the focus ($paused yellow pixels, $playing while playing)"
[ "$a" = "$b" ] || fail "the game goes on without the focus"

# The focus back: the text goes and the play goes on.
focus "$win"
sleep 0.5
back=$(text | cut -d' ' -f1)
a=$(play); sleep 0.3; b=$(play)
[ "$back" -lt $((paused / 2)) ] || fail "the pause text stays with the focus back ($back yellow pixels)"
[ "$a" != "$b" ] || fail "the game does not go on with the focus back"
wait "$pid"
status=$?
pid=
[ "$status" -eq 0 ] || fail "the game ended with status $status"
[ -s "$tmp/end.json" ] || fail "the run did not reach its last tick"
echo "focus: lost shows the pause text and stops the game ($paused yellow pixels), back goes on ($back)"
