#!/usr/bin/env bash
# Installs every system package that building, testing and running the editor needs.
# Idempotent: installs only what is missing, and runs 'apt-get update' only then.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git clang-format
    libgtest-dev libgmock-dev libbenchmark-dev
    libpng-dev zlib1g-dev
    libasound2-dev alsa-utils
    portaudio19-dev
    libavformat-dev libavcodec-dev libswresample-dev libavutil-dev
    qt6-base-dev fonts-dejavu-core
    xvfb xdotool x11-utils
    sox libsox-fmt-all ffmpeg sndfile-programs
    clang libclang-rt-14-dev
    desktop-file-utils shared-mime-info xdg-utils appstream libglib2.0-bin
    lintian dpkg-dev file bash-completion
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
