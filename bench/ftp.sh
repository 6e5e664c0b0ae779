#!/usr/bin/env bash
# Compares the headless Lumet with curl and wget on one file from a local FTP
# server (Debian's pyftpdlib, which sends with sendfile), passive and active mode.
# Usage: bench/ftp.sh [SIZE_MIB] [ROUNDS]   (defaults: 1024 MiB, best of 5)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
size=${1:-1024}
rounds=${2:-5}

bench_init
sum=$(random_file "$work/docs/one.bin" "$size")
port=$(free_port)
/usr/bin/python3 -m pyftpdlib -i 127.0.0.1 -p "$port" -d "$work/docs" 2>"$work/ftpd.log" &
bench_pids+=($!)
for _ in $(seq 1 100); do
  curl -sf -o /dev/null -r 0-0 "ftp://127.0.0.1:$port/one.bin" && break
  sleep 0.05
done
url="ftp://127.0.0.1:$port/one.bin"

command_for() {
  local out=$2
  case $1:$mode in
    lumet:passive) cmd=("$lumet" --get "$url" --save-to "$out" --set UsePASV=1) ;;
    lumet:active) cmd=("$lumet" --get "$url" --save-to "$out" --set UsePASV=0) ;;
    curl:passive) cmd=(curl -s -o "$out" "$url") ;;
    curl:active) cmd=(curl -s -P 127.0.0.1 -o "$out" "$url") ;;
    wget:passive) cmd=(wget -q -O "$out" "$url") ;;
    wget:active) cmd=(wget -q --no-passive-ftp -O "$out" "$url") ;;
  esac
}

echo "$(machine_line), pyftpdlib $(/usr/bin/python3 -c 'import pyftpdlib; print(pyftpdlib.__ver__)')"
mode=passive
compare "${size} MiB, passive mode" "$sum" "$rounds" lumet curl wget
mode=active
compare "${size} MiB, active mode" "$sum" "$rounds" lumet curl wget
