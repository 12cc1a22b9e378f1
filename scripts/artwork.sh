#!/usr/bin/env bash
# Redraws the editor's pictures and bitmap fonts into resources/ (1x and 2x) and the desktop
# icons into resources/icons (SVG and PNG) with the talvex-artwork generator on Qt's offscreen
# platform, and writes a contact sheet of every 2x picture to build/artwork/contact-sheet.png
# for review. Commit the changed files afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/artwork
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALVEX_BUILD_TESTS=OFF \
    -DTALVEX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target talvex-artwork >&2
QT_QPA_PLATFORM=offscreen "$build/tools/artwork/talvex-artwork" resources \
    --sheet "$build/contact-sheet.png"
QT_QPA_PLATFORM=offscreen "$build/tools/artwork/talvex-artwork" --icons resources/icons
echo "artwork: resources/images, resources/fonts and resources/icons redrawn;" \
    "sheet: $build/contact-sheet.png"
