#!/usr/bin/env bash
# Compares the headless Lumet with curl and wget on one file from a local FTP
# server (Debian's pyftpdlib, which sends with sendfile), passive and active
# mode, in one run. The file and the downloads live in tmpfs, so the disk is not
# what is measured. Prints elapsed time, peak RSS and CPU time per tool, and
# Lumet's ratio to each (time ratio < 1: Lumet was faster).
# Usage: bench/ftp.sh [SIZE_MIB] [ROUNDS]   (defaults: 1024 MiB, best of 5)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(dirname "$here")
size=${1:-1024}
rounds=${2:-5}

"$top/scripts/deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVK_TESTS=OFF >/dev/null
cmake --build "$top/build" -j2 --target lumet >/dev/null
lumet="$top/build/bin/lumet"

work=$(mktemp -d /dev/shm/vk-bench-ftp.XXXXXX)
ftpd_pid=
cleanup() {
  [ -n "$ftpd_pid" ] && kill "$ftpd_pid" 2>/dev/null && wait "$ftpd_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work"/{root,out,vk}
export VORNELKARVO_ROOT="$work/vk"

head -c "$((size * 1024 * 1024))" /dev/urandom >"$work/root/one.bin"
sum=$(sha256sum "$work/root/one.bin" | cut -d' ' -f1)

port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
/usr/bin/python3 -m pyftpdlib -i 127.0.0.1 -p "$port" -d "$work/root" 2>"$work/ftpd.log" &
ftpd_pid=$!
for _ in $(seq 1 100); do
  curl -sf -o /dev/null -r 0-0 "ftp://127.0.0.1:$port/one.bin" && break
  sleep 0.05
done
url="ftp://127.0.0.1:$port/one.bin"

# One measured run: prints "seconds peak_kib cpu_seconds" after checking the file.
measure() {
  local out=$1; shift
  rm -f "$out"
  local t got
  # time's own report goes to a file: the tool's stderr is not wanted.
  /usr/bin/time -o "$work/time.txt" -f '%e %M %U %S' "$@" >/dev/null 2>"$work/stderr.txt" || true
  t=$(tail -n1 "$work/time.txt")
  got=$(sha256sum "$out" 2>/dev/null | cut -d' ' -f1)
  if [ "$got" != "$sum" ]; then
    echo "FAILED: $* (wrong or missing file)" >&2
    echo "nan nan nan"
    return
  fi
  echo "$t" | awk '{ printf "%s %s %.2f\n", $1, $2, $3 + $4 }'
}

# Rounds interleave the tools, so that a busy moment of the machine does not
# fall on one tool alone; each tool's fastest round counts (with its RSS and CPU).
run_mode() {
  local mode=$1
  local out="$work/out/file"
  local tools=(lumet curl wget)
  declare -A best
  for _ in $(seq 1 "$rounds"); do
    for tool in "${tools[@]}"; do
      local cmd line
      case $tool:$mode in
        lumet:passive) cmd=("$lumet" --get "$url" --save-to "$out" --set UsePASV=1) ;;
        lumet:active) cmd=("$lumet" --get "$url" --save-to "$out" --set UsePASV=0) ;;
        curl:passive) cmd=(curl -s -o "$out" "$url") ;;
        curl:active) cmd=(curl -s -P 127.0.0.1 -o "$out" "$url") ;;
        wget:passive) cmd=(wget -q -O "$out" "$url") ;;
        wget:active) cmd=(wget -q --no-passive-ftp -O "$out" "$url") ;;
      esac
      line=$(measure "$out" "${cmd[@]}")
      [ "${line%% *}" = nan ] && continue
      if [ -z "${best[$tool]:-}" ] ||
        awk -v a="${line%% *}" -v b="${best[$tool]%% *}" 'BEGIN { exit !(a < b) }'; then
        best[$tool]=$line
      fi
    done
  done
  echo "## ${size} MiB, $mode mode, best of $rounds"
  printf '%-8s %10s %12s %10s\n' tool seconds peak_MiB cpu_s
  for tool in "${tools[@]}"; do
    read -r s m c <<<"${best[$tool]:-nan nan nan}"
    printf '%-8s %10s %12s %10s\n' "$tool" "$s" "$(awk -v k="$m" 'BEGIN{printf "%.1f", k/1024}')" "$c"
  done
  for tool in curl wget; do
    awk -v a="${best[lumet]%% *}" -v b="${best[$tool]%% *}" -v t="$tool" \
      'BEGIN { if (b > 0) printf "time ratio lumet/%s: %.2f\n", t, a / b }'
  done
  echo
}

echo "# $(date -u +%Y-%m-%d) $(nproc) cores, $(awk '/MemTotal/{printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(uname -r), pyftpdlib $(/usr/bin/python3 -c 'import pyftpdlib; print(pyftpdlib.__ver__)')"
run_mode passive
run_mode active
