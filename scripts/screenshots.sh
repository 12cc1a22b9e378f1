#!/usr/bin/env bash
# Renders the editor's window (each page and the about window, at 1x and 2x) to
# docs/screenshots/*.png on Qt's offscreen platform; no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TALVEX_BUILD_DIR:-build/run}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVEX_BUILD_TESTS=OFF \
    -DTALVEX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target talvex-screenshots >&2
mkdir -p docs/screenshots
for scale in 1 2; do
    "$build/src/ui/talvex-screenshots" docs/screenshots "$scale" 2>/dev/null
done
