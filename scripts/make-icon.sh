#!/usr/bin/env bash
# Draws the program's icon (a floppy-like save box over a green field) with
# ImageMagick and writes res/bkTrnwck.ico in the sizes Windows asks for.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
tmp="$(mktemp -d)"
convert -size 256x256 xc:none \
  -fill '#1f7a3a' -draw 'roundrectangle 8,8 248,248 40,40' \
  -fill '#f2f2f2' -draw 'rectangle 56,40 200,216' \
  -fill '#3b3b3b' -draw 'rectangle 84,40 172,104' \
  -fill '#f2f2f2' -draw 'rectangle 140,52 160,92' \
  -fill '#1f7a3a' -draw 'polygon 128,128 176,176 152,176 152,204 104,204 104,176 80,176' \
  "$tmp/icon.png"
convert "$tmp/icon.png" -define icon:auto-resize=256,48,32,16 "$root/res/bkTrnwck.ico"
rm -rf "$tmp"
