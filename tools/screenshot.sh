#!/usr/bin/env bash
# Takes a screenshot of the real main window under a virtual X server.
#   tools/screenshot.sh [BUILD_DIR] [OUTPUT.png]
# Defaults: build/ and docs/screenshot.png. Needs xvfb-run and imagemagick's import.
# The program runs with a temporary settings folder (no first-run dialog, no splash, a
# fixed 1280 x 800 window), so the user's own settings are neither read nor changed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-docs/screenshot.png}
program="$build/bin/quendrel"
[ -x "$program" ] || { echo "no $program: build the target quendrel first" >&2; exit 2; }
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (package xvfb)" >&2; exit 2; }
command -v import >/dev/null || { echo "import is missing (package imagemagick)" >&2; exit 2; }

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/config/Quendrel"
cat > "$home/config/Quendrel/Quendrel.ini" <<'INI'
[Settings]
FirstRun=0
bShowSplashImage=0
AutoIndex=0
MainWinLeft=0
MainWinTop=0
MainWinRight=1280
MainWinBottom=800
MainWinState=0
INI
mkdir -p "$(dirname "$out")"
out=$(realpath "$out")

XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache" \
XDG_STATE_HOME="$home/state" XDG_RUNTIME_DIR="$home" QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 \
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    "$1" & pid=$!
    for _ in $(seq 1 40); do     # wait up to 20 s for the window to be mapped
        sleep 0.5
        xwininfo -root -tree 2>/dev/null | grep -q "\"Quendrel\"" && break
    done
    sleep 2                      # let it paint
    import -window root "$2"
    kill "$pid"; wait "$pid" 2>/dev/null || true
' screenshot "$program" "$out"
echo "wrote $out"
