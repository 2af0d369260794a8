#!/usr/bin/env bash
# Saves a picture of the main window after a content search, in the web-page style view
# with its highlighted excerpts (offscreen; a temporary tree and settings).
#   tools/result_screenshot.sh [BUILD_DIR] [OUTPUT.png]
# Defaults: build/ and docs/screenshot-results.png. Build test_app_shell_ResultViewTest first.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=$(realpath -m "${2:-docs/screenshot-results.png}")
test="$build/bin/test_app_shell_ResultViewTest"
[ -x "$test" ] || { echo "no $test: build the target test_app_shell_ResultViewTest first" >&2; exit 2; }
mkdir -p "$(dirname "$out")"
QUENDREL_RESULT_SHOT="$out" QT_QPA_PLATFORM=offscreen "$test" screenshotOfContentSearch
echo "$out"
