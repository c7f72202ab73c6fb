#!/usr/bin/env bash
# screenshot.sh [output.png] [demo]: runs the demo tools/<demo>-demo under Xvfb with
# Qt's xcb platform and saves what the X server shows as PNG (default:
# build/screenshot.png) for a developer to look at. Demos:
#   presenter (the default): a form with a child, a panel of text and a topmost popup;
#   forms: the component framework's aligned panels, a hint and a modal dialog;
#   menus: a main form with its first menu open;
#   controls: a dialog of standard controls;
#   mainwindow: a form laid out like the main window;
#   folderdialog: the folder-browse dialog;
#   filedialog: our own file dialog on a folder with Chinese names.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$(realpath -m "${1:-$root/build/screenshot.png}")
dir="$root/build/plain"
demo="${2:-presenter}-demo"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOSTREL_SANITIZE=OFF >/dev/null
cmake --build "$dir" --target "$demo" -j "$(nproc)"
mkdir -p "$(dirname "$out")"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x640x24" "$dir/tools/$demo" "$out"
