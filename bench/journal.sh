#!/usr/bin/env bash
# The progress journal, measured with the headless Lumet and a local nginx:
#   1. kill and resume: a 100 MiB file in six segments from a server that limits
#      every connection to 4 MB/s, ended after 3 s by SIGTERM and by SIGKILL, then
#      continued with --existing resume; the file is compared with the server's.
#   2. what the journal costs: a 1 GiB file in six segments from an unlimited
#      server, saved to a folder on disk (not tmpfs, where syncing is free),
#      traced with strace: per 500 ms tick one fdatasync of the file's data and
#      one journal write (fsync of the new journal, rename, fsync of the folder).
# Usage: bench/journal.sh [ROUNDS] [SIZE_MIB_2]   (defaults 3, 1024)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
rounds=${1:-3}
size2=${2:-1024}

bench_init
sum1=$(random_file "$work/docs/hundred.bin" 100)
sum2=$(random_file "$work/docs/big.bin" "$size2")
disk=$(mktemp -d /var/tmp/vk-journal.XXXXXX)
trap 'bench_cleanup; rm -rf "$disk"' EXIT

port=$(free_port)
start_nginx 256 "" "  server {
    listen 127.0.0.1:$port;
    root $work/docs;
    location /limited/ { alias $work/docs/; limit_rate 4m; }
  }" "http://127.0.0.1:$port/big.bin"
segmented=(--set Segment=1)

machine_line
echo "## 1. 100 MiB in six segments at 4 MB/s each, ended after 3 s, then resumed"
printf '%-8s %6s %10s %10s %s\n' signal round first_rc resume_rc file
for signal in TERM KILL; do
  for round in $(seq 1 "$rounds"); do
    out="$work/out/hundred.bin"
    rm -f "$out" "$out".*
    "$lumet" --get "http://127.0.0.1:$port/limited/hundred.bin" --save-to "$out" "${segmented[@]}" \
      2>/dev/null &
    pid=$!
    sleep 3
    kill -"$signal" "$pid"
    first=0
    wait "$pid" 2>/dev/null || first=$?
    resumed=0
    "$lumet" --get "http://127.0.0.1:$port/limited/hundred.bin" --save-to "$out" --existing resume \
      "${segmented[@]}" 2>/dev/null || resumed=$?
    if [ "$(sha256sum "$out" | cut -d' ' -f1)" = "$sum1" ]; then
      verdict=identical
    else
      verdict="differs from byte $(cmp "$out" "$work/docs/hundred.bin" 2>&1 | awk '{print $5}' | tr -d ,)"
    fi
    printf '%-8s %6s %10s %10s %s\n' "SIG$signal" "$round" "$first" "$resumed" "$verdict"
  done
done
echo

echo "## 2. ${size2} MiB in six segments to disk: journal cost per tick, best of $rounds"
best=""
for _ in $(seq 1 "$rounds"); do
  out="$disk/big.bin"
  rm -f "$out" "$out".*
  start=$(date +%s.%N)
  strace -f -T -e trace=fdatasync,fsync,rename -o "$disk/trace" \
    "$lumet" --get "http://127.0.0.1:$port/big.bin" --save-to "$out" "${segmented[@]}" 2>/dev/null
  end=$(date +%s.%N)
  [ "$(sha256sum "$out" | cut -d' ' -f1)" = "$sum2" ] || { echo "FAILED: wrong file" >&2; exit 1; }
  # fdatasync: the file's data; fsync + rename + fsync: one journal write.
  line=$(awk -v seconds="$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')" '
    function t(s) { sub(/.*</, "", s); sub(/>.*/, "", s); return s + 0 }
    /fdatasync\(/ { n++; d = t($0); sync += d; if (d > syncmax) syncmax = d }
    /fsync\(/ { fs += t($0) }
    /rename\(/ { writes++; rn += t($0) }
    END { printf "%.2f %d %.2f %.2f %d %.2f\n", seconds, n, 1000 * sync / n, 1000 * syncmax,
          writes, 1000 * (fs + rn) / writes }' "$disk/trace")
  if [ -z "$best" ] || awk -v a="${line%% *}" -v b="${best%% *}" 'BEGIN { exit !(a < b) }'; then
    best=$line
  fi
done
read -r seconds syncs syncmean syncmax writes writemean <<<"$best"
echo "download (under strace): $seconds s; ticks with a sync: $syncs"
echo "fdatasync of the data: mean $syncmean ms, max $syncmax ms"
echo "journal writes: $writes, mean $writemean ms (fsync, rename, folder fsync)"
