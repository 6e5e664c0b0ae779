#!/usr/bin/env bash
# Compares the headless Lumet with curl, wget, aria2c and axel on the same files
# from one local nginx, in one run, over plain HTTP and over TLS (https://):
#   1. a 1 GiB file over one connection (Lumet with "Segment" off),
#   2. a 256 MiB file from a server that limits every connection to 16 MB/s
#      (Lumet with "Segment" on, aria2c and axel with six connections),
#   3. and 4.: the same two over TLS, with a certificate for 127.0.0.1 from an
#      authority made for the run (every tool is told to trust it, except axel,
#      which has no option for it and runs with --insecure).
# Usage: bench/http.sh [SIZE_MIB_1] [SIZE_MIB_2] [ROUNDS] [plain|tls|both]
#        (defaults 1024, 256, 3, both)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
size1=${1:-1024}
size2=${2:-256}
rounds=${3:-3}
which=${4:-both}

bench_init
sum1=$(random_file "$work/docs/one.bin" "$size1")
sum2=$(random_file "$work/docs/seg.bin" "$size2")

port=$(free_port)
tls_port=$(free_port)
mkdir -p "$work/nginx" "$work/tls"
# An authority and a server certificate for 127.0.0.1 (P-256, as a server of
# today would have).
(
  cd "$work/tls"
  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout ca.key \
    -out ca.pem -days 2 -subj "/CN=Bench Authority" -addext basicConstraints=critical,CA:TRUE \
    -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
  openssl req -new -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout server.key \
    -out server.csr -subj /CN=127.0.0.1 2>/dev/null
  printf 'subjectAltName=DNS:127.0.0.1,IP:127.0.0.1\nextendedKeyUsage=serverAuth\n' >server.ext
  openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
    -extfile server.ext -out server.pem 2>/dev/null
)
ca="$work/tls/ca.pem"
nginx_ca=$ca
start_nginx 256 "  tcp_nopush on;" "  server {
    listen 127.0.0.1:$port;
    root $work/docs;
    location /limited/ { alias $work/docs/; limit_rate 16m; }
  }
  server {
    listen 127.0.0.1:$tls_port ssl;
    ssl_certificate $work/tls/server.pem;
    ssl_certificate_key $work/tls/server.key;
    root $work/docs;
    location /limited/ { alias $work/docs/; limit_rate 16m; }
  }" "http://127.0.0.1:$port/one.bin" "https://127.0.0.1:$tls_port/one.bin"

command_for() {
  local out=$2
  case $1 in
    lumet) cmd=("$lumet" --get "$url" --save-to "$out" --set "Segment=$segment" --set PromptDone=0
                --cacert "$ca") ;;
    curl) cmd=(curl -s --cacert "$ca" -o "$out" "$url") ;;
    wget) cmd=(wget -q --ca-certificate="$ca" -O "$out" "$url") ;;
    aria2c) cmd=(aria2c -q -x6 -s6 --ca-certificate="$ca" --allow-overwrite=true
                 --file-allocation=none -d "$(dirname "$out")" -o "$(basename "$out")" "$url") ;;
    axel) cmd=(axel -q -n6 --insecure -o "$out" "$url") ;;
  esac
}

machine_line
if [ "$which" != tls ]; then
  url="http://127.0.0.1:$port/one.bin" segment=0
  compare "1. ${size1} MiB, one connection" "$sum1" "$rounds" lumet curl wget aria2c axel
  url="http://127.0.0.1:$port/limited/seg.bin" segment=1
  compare "2. ${size2} MiB, 16 MB/s per connection" "$sum2" "$rounds" lumet curl wget aria2c axel
fi
if [ "$which" != plain ]; then
  echo "# TLS: $(openssl version | cut -d' ' -f1-2), $(curl -sv --cacert "$ca" -r 0-0 -o /dev/null \
    "https://127.0.0.1:$tls_port/one.bin" 2>&1 | sed -n 's/^\* SSL connection using //p')"
  url="https://127.0.0.1:$tls_port/one.bin" segment=0
  compare "3. ${size1} MiB over TLS, one connection" "$sum1" "$rounds" lumet curl wget
  url="https://127.0.0.1:$tls_port/limited/seg.bin" segment=1
  compare "4. ${size2} MiB over TLS, 16 MB/s per connection" "$sum2" "$rounds" lumet curl aria2c axel
fi
