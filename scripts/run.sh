#!/usr/bin/env bash
# Builds the editor and starts it with the given arguments, e.g.
#   scripts/run.sh --virtual-instrument          (try it without an instrument)
#   scripts/run.sh songs/live.t2a                (open a file)
# The command-line tool is scripts/cli.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "run.sh: no display (DISPLAY and WAYLAND_DISPLAY are empty); use scripts/cli.sh for the command-line tool." >&2
    exit 1
fi
scripts/setup.sh >&2
build=build/run
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVEX_BUILD_TESTS=OFF \
    -DTALVEX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target talvex-editor >&2
exec "$build/src/ui/talvex-editor" "$@"
