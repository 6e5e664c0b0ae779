#!/usr/bin/env bash
# Installs the Debian packages that building, testing and benchmarking need.
# Runs apt-get only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev libssl-dev
  libgtest-dev libgmock-dev
  clang libclang-rt-14-dev
  nginx-light python3-pyftpdlib vsftpd dante-server microsocks openssl tinyproxy-bin
  curl wget aria2 axel lftp time procps strace xauth xvfb util-linux
  chromium firefox-esr zip
  desktop-file-utils dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "deps.sh: installing ${missing[*]}" >&2
if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
# These packages start system services; the tests run their own servers and proxies.
# The tests' HTTP proxy comes as tinyproxy-bin, the program without the tinyproxy
# service; should the full package be there, its service is stopped too.
for service in nginx vsftpd danted microsocks tinyproxy; do
  if command -v systemctl >/dev/null 2>&1; then
    $SUDO systemctl disable --now "$service" >/dev/null 2>&1 || true
  fi
  $SUDO service "$service" stop >/dev/null 2>&1 || true
done
