#!/usr/bin/env bash
# Compares the headless Lumet with curl, wget, aria2c and axel on the same files
# from one local nginx, in one run:
#   1. a 1 GiB file over one connection (Lumet with "Segment" off),
#   2. a 256 MiB file from a server that limits every connection to 16 MB/s
#      (Lumet with "Segment" on, aria2c and axel with six connections).
# Usage: bench/http.sh [SIZE_MIB_1] [SIZE_MIB_2] [ROUNDS]   (defaults 1024, 256, 3)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
size1=${1:-1024}
size2=${2:-256}
rounds=${3:-3}

bench_init
sum1=$(random_file "$work/docs/one.bin" "$size1")
sum2=$(random_file "$work/docs/seg.bin" "$size2")

port=$(free_port)
mkdir -p "$work/nginx"
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
    location /limited/ { alias $work/docs/; limit_rate 16m; }
  }
}
CONF
/usr/sbin/nginx -c "$work/nginx/nginx.conf" -p "$work/nginx" &
bench_pids+=($!)
for _ in $(seq 1 100); do
  curl -sf -o /dev/null -r 0-0 "http://127.0.0.1:$port/one.bin" && break
  sleep 0.05
done

command_for() {
  local out=$2
  case $1 in
    lumet) cmd=("$lumet" --get "$url" --save-to "$out" --set "Segment=$segment") ;;
    curl) cmd=(curl -s -o "$out" "$url") ;;
    wget) cmd=(wget -q -O "$out" "$url") ;;
    aria2c) cmd=(aria2c -q -x6 -s6 --allow-overwrite=true --file-allocation=none
                 -d "$(dirname "$out")" -o "$(basename "$out")" "$url") ;;
    axel) cmd=(axel -q -n6 -o "$out" "$url") ;;
  esac
}

machine_line
url="http://127.0.0.1:$port/one.bin" segment=0
compare "1. ${size1} MiB, one connection" "$sum1" "$rounds" lumet curl wget aria2c axel
url="http://127.0.0.1:$port/limited/seg.bin" segment=1
compare "2. ${size2} MiB, 16 MB/s per connection" "$sum2" "$rounds" lumet curl wget aria2c axel
