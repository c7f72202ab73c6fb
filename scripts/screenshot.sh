#!/usr/bin/env bash
# screenshot.sh [output.png] [demo]: runs the demo tools/demos/<demo>-demo
# under Xvfb with Qt's xcb platform and the openbox window manager, so windows
# have frames and activation and focus are as on a desktop, and saves what the
# X server shows as PNG (default: build/screenshot.png) for a developer to look
# at. Demos:
#   presenter (the default): a form with a child, a panel of text and a topmost popup;
#   forms: the component framework's aligned panels, a hint and a modal dialog;
#   menus: a main form with its first menu open;
#   controls: a dialog of standard controls;
#   mainwindow: a form laid out like the main window;
#   folderdialog: the folder-browse dialog;
#   filedialog: our own file dialog on a folder with Chinese names;
#   skins: icons of the desktop's themes decoded by our PNG decoder over a checker;
#   panes: a splitter moved, a context menu open, then (in <output>-drag.png)
#          an item dragged out of its window onto another.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$(realpath -m "${1:-$root/build/screenshot.png}")
dir="$root/build/plain"
demo="${2:-presenter}-demo"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOSTREL_SANITIZE=OFF >/dev/null
cmake --build "$dir" --target "$demo" -j "$(nproc)"
mkdir -p "$(dirname "$out")"
# Inside the X server: openbox, ready once it runs its start-up command, then
# the demo; openbox ends with it.
session='
ready=$(mktemp -u)
openbox --sm-disable --startup "touch $ready" & wm=$!
for _ in $(seq 200); do [ -e "$ready" ] && break; sleep 0.05; done
rm -f "$ready"
status=0
"$@" || status=$?
kill "$wm"
wait "$wm" 2>/dev/null || true
exit "$status"'
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x640x24" bash -c "$session" session "$dir/tools/demos/$demo" "$out"
