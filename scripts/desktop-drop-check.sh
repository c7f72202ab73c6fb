#!/usr/bin/env bash
# desktop-drop-check.sh: under Xvfb, a second program drags a file (named with
# Chinese characters and a space) over XDND onto a window of ours with a
# registered drop target; prints what both sides saw. Checked by hand.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dir="${1:-$root/build/sanitize}"
cmake --build "$dir" --target desktop-drop-check -j "$(nproc)"
file=$(mktemp -d)/"视频 a.mp4"
touch "$file"
tool="$dir/tools/desktop-drop-check"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x640x24" bash -c '
  "$0" target & target=$!
  sleep 2
  "$0" source 250 220 "$1"
  wait $target' "$tool" "$file"
