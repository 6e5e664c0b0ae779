#!/usr/bin/env bash
# Builds Lumet (Release, in build/) and starts it: without arguments the desktop
# program, with arguments headless, e.g. ./run.sh --get URL --save-to FILE
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVK_TESTS=OFF >&2
cmake --build build -j2 --target lumet lumet-desktop vk_shared_files >&2
exec ./build/bin/lumet "$@"
