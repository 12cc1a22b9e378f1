#!/usr/bin/env bash
# Builds the command-line tool (and the virtual instrument talvex-sim) and runs it with the
# given arguments; with none it prints its help.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >&2
build=build/run
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVEX_BUILD_TESTS=OFF \
    -DTALVEX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target talvex-cli talvex-sim >&2
exec "$build/src/cli/talvex-cli" "$@"
