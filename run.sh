#!/usr/bin/env bash
# Builds the programs (Release, in build/) and starts one of them:
#   ./run.sh               Lumet, the desktop download manager
#   ./run.sh ARGS...       Lumet headless, e.g. ./run.sh --get URL --save-to FILE
#   ./run.sh karvo         Karvo, the desktop FTP client
#   ./run.sh karvo ARGS... Karvo headless, e.g. ./run.sh karvo --list ftp://host/
# Each program starts the other from its toolbar, so both are always built.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVK_TESTS=OFF >&2
cmake --build build -j2 --target lumet lumet-desktop karvo vk_shared_files >&2
if [ "${1:-}" = karvo ]; then
  shift
  exec ./build/bin/karvo "$@"
fi
exec ./build/bin/lumet "$@"
