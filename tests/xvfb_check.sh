#!/bin/sh
# Checks that a screenshot exists and is a 640 x 480 PNG.
# Usage: xvfb_check.sh FILE.png
set -eu
f=$1
if [ ! -s "$f" ]; then
  echo "no screenshot at $f" >&2
  exit 1
fi
sig=$(od -An -tx1 -N8 "$f" | tr -d ' \n')
if [ "$sig" != "89504e470d0a1a0a" ]; then
  echo "$f is not a PNG" >&2
  exit 1
fi
# The IHDR chunk follows the signature: width and height as 32-bit big-endian numbers.
dims=$(od -An -tu1 -j16 -N8 "$f" | tr -s ' \n' ' ')
set -- $dims
w=$(( ($1 << 24) | ($2 << 16) | ($3 << 8) | $4 ))
h=$(( ($5 << 24) | ($6 << 16) | ($7 << 8) | $8 ))
if [ "$w" -ne 640 ] || [ "$h" -ne 480 ]; then
  echo "$f is ${w}x${h}, not 640x480" >&2
  exit 1
fi
echo "$f: 640x480 PNG"
