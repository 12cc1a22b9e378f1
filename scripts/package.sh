#!/usr/bin/env bash
# Builds the Debian package talvex-editor_<version>_<arch>.deb and checks it with lintian.
# usage: scripts/package.sh [BUILD_DIR]
# With BUILD_DIR (an existing build, e.g. the test build) it packages that; without, it makes
# a release build in build/package first. Dependencies come from the binaries (dpkg-shlibdeps).
# Fails on any lintian error; warnings are printed. Lintian is skipped when it is not installed.
set -euo pipefail
cd "$(dirname "$0")/.."

for tool in cpack dpkg-shlibdeps dpkg-deb; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "package: $tool is missing (scripts/setup.sh installs it)" >&2
        exit 1
    fi
done

build=${1:-}
if [ -z "$build" ]; then
    build=build/package
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALVEX_BUILD_TESTS=OFF \
        -DTALVEX_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j "$(nproc)" >/dev/null

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/talvex-editor_*.deb | head -n 1)
echo "package: $deb"
dpkg-deb --field "$deb" Depends Recommends

if command -v lintian >/dev/null 2>&1; then
    # Lintian refuses to run as root without this; the package is only read.
    lintian --allow-root --fail-on error --info "$deb"
else
    echo "package: lintian is not installed; not checked"
fi
