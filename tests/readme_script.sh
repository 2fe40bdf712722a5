#!/bin/sh
# The README's example input script, taken from the README itself, starts a game as it says.
# Usage: readme_script.sh README.md ORBITA
set -eu
readme=$1
orbita=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
awk '/^orbita-script 1/{on=1} on&&/^```/{exit} on{print}' "$readme" > "$tmp/demo.txt"
[ -s "$tmp/demo.txt" ] || { echo "no example script in $readme" >&2; exit 1; }
"$orbita" --headless --play "$tmp/demo.txt" --dump-state "300:$tmp/end.json"
state=$(tr -d ' \n' < "$tmp/end.json")
echo "$state" | grep -q '"inMenu":false' || { echo "the README's script does not start a game" >&2; exit 1; }
echo "$state" | grep -q '"inTitle":false' || { echo "the README's script leaves the title up" >&2; exit 1; }
echo "the README's script starts a game"
