#!/usr/bin/env bash
# screenshot.sh [output.png]: runs the presenter demo (a form with a child, a
# panel of text and a topmost popup) under Xvfb with Qt's xcb platform and saves
# what the X server shows as PNG (default: build/screenshot.png) for a developer
# to look at.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$(realpath -m "${1:-$root/build/screenshot.png}")
dir="$root/build/plain"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOSTREL_SANITIZE=OFF >/dev/null
cmake --build "$dir" --target presenter-demo -j "$(nproc)"
mkdir -p "$(dirname "$out")"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x640x24" "$dir/tools/presenter-demo" "$out"
