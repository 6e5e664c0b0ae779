#!/usr/bin/env bash
# Compares the headless Lumet with curl, wget, aria2c and axel on the same files
# from one local nginx, in one run:
#   1. a 1 GiB file over one connection (Lumet with "Segment" off),
#   2. a 256 MiB file from a server that limits every connection to 16 MB/s
#      (Lumet with "Segment" on, aria2c and axel with six connections).
# Files live in tmpfs, so the disk is not what is measured. Prints elapsed time,
# peak RSS and CPU time per tool, and Lumet's ratio to each (time ratio < 1: Lumet
# was faster). Each tool runs RUNS times (default 3); the median time and CPU and
# the largest peak RSS are shown. Usage: bench/http.sh [SIZE_MIB_1] [SIZE_MIB_2]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(dirname "$here")
size1=${1:-1024}
size2=${2:-256}
rate=16m
runs=${RUNS:-3}

"$top/scripts/deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVK_TESTS=OFF >/dev/null
cmake --build "$top/build" -j2 --target lumet >/dev/null
lumet="$top/build/bin/lumet"

work=$(mktemp -d /dev/shm/vk-bench.XXXXXX)
nginx_pid=
cleanup() {
  [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null && wait "$nginx_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work"/{docs,out,nginx,root}
export VORNELKARVO_ROOT="$work/root"

head -c "$((size1 * 1024 * 1024))" /dev/urandom >"$work/docs/one.bin"
head -c "$((size2 * 1024 * 1024))" /dev/urandom >"$work/docs/seg.bin"
sum1=$(sha256sum "$work/docs/one.bin" | cut -d' ' -f1)
sum2=$(sha256sum "$work/docs/seg.bin" | cut -d' ' -f1)

port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
cat >"$work/nginx/nginx.conf" <<CONF
daemon off;
master_process off;
user root;
worker_processes 1;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 256; }
http {
  access_log off;
  client_body_temp_path $work/nginx;
  proxy_temp_path $work/nginx;
  fastcgi_temp_path $work/nginx;
  uwsgi_temp_path $work/nginx;
  scgi_temp_path $work/nginx;
  sendfile on;
  tcp_nopush on;
  default_type application/octet-stream;
  server {
    listen 127.0.0.1:$port;
    root $work/docs;
    location /limited/ { alias $work/docs/; limit_rate $rate; }
  }
}
CONF
/usr/sbin/nginx -c "$work/nginx/nginx.conf" -p "$work/nginx" &
nginx_pid=$!
for _ in $(seq 1 100); do
  curl -sf -o /dev/null "http://127.0.0.1:$port/one.bin" -r 0-0 && break
  sleep 0.05
done

# One measured run: prints "seconds peak_kib cpu_seconds" after checking the file.
measure() {
  local expect=$1 out=$2; shift 2
  rm -f "$out" "$out".*
  local t
  /usr/bin/time -f '%e %M %U %S' -o "$work/time.txt" "$@" >/dev/null 2>&1 || true
  t=$(tail -n1 "$work/time.txt")
  local got
  got=$(sha256sum "$out" 2>/dev/null | cut -d' ' -f1)
  if [ "$got" != "$expect" ]; then
    echo "FAILED: $* (wrong or missing file)" >&2
    echo "nan nan nan"
    return
  fi
  echo "$t" | awk '{ printf "%s %s %.2f\n", $1, $2, $3 + $4 }'
}

run_scenario() {
  local title=$1 url=$2 sum=$3 lumet_set=$4
  local out="$work/out/file"
  echo "## $title"
  printf '%-10s %10s %12s %10s\n' tool seconds peak_MiB cpu_s
  declare -A secs rss cpu
  local tools=(lumet curl wget aria2c axel)
  for tool in "${tools[@]}"; do
    local cmd s m c
    case $tool in
      lumet) cmd=("$lumet" --get "$url" --save-to "$out" $lumet_set) ;;
      curl) cmd=(curl -s -o "$out" "$url") ;;
      wget) cmd=(wget -q -O "$out" "$url") ;;
      aria2c) cmd=(aria2c -q -x6 -s6 --allow-overwrite=true --file-allocation=none -d "$work/out" -o file "$url") ;;
      axel) cmd=(axel -q -n6 -o "$out" "$url") ;;
    esac
    local results=()
    for _ in $(seq 1 "$runs"); do results+=("$(measure "$sum" "$out" "${cmd[@]}")"); done
    local mid=$(((runs + 1) / 2))
    s=$(printf '%s\n' "${results[@]}" | cut -d' ' -f1 | sort -g | sed -n "${mid}p")
    m=$(printf '%s\n' "${results[@]}" | cut -d' ' -f2 | sort -g | tail -n1)
    c=$(printf '%s\n' "${results[@]}" | cut -d' ' -f3 | sort -g | sed -n "${mid}p")
    secs[$tool]=$s; rss[$tool]=$m; cpu[$tool]=$c
    printf '%-10s %10s %12s %10s\n' "$tool" "$s" "$(awk -v k="$m" 'BEGIN{printf "%.1f", k/1024}')" "$c"
  done
  for tool in curl wget aria2c axel; do
    awk -v a="${secs[lumet]}" -v b="${secs[$tool]}" -v t="$tool" \
      'BEGIN { if (b > 0) printf "time ratio lumet/%s: %.2f\n", t, a / b }'
  done
  echo
}

echo "# $(date -u +%Y-%m-%d) $(nproc) cores, $(awk '/MemTotal/{printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(uname -r)"
run_scenario "1. ${size1} MiB, one connection" "http://127.0.0.1:$port/one.bin" "$sum1" "--set Segment=0"
run_scenario "2. ${size2} MiB, 16 MB/s per connection" "http://127.0.0.1:$port/limited/seg.bin" "$sum2" "--set Segment=1"
