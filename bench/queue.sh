#!/usr/bin/env bash
# Many downloads at once: the headless Lumet's list mode beside aria2c and
# parallel curls, on FILES files of SIZE_MIB MiB from one local nginx, in one run:
#   1. unlimited: what the engines themselves cost decides, on the machine's cores;
#   2. every connection limited to RATE (nginx limit_rate). nginx lets a request
#      send one second's worth at once before the limit bites; at the default 1m
#      that is small against the requests of every tool here.
# Lumet:  lumet --get-list LIST --set Segment=1 --stats   (six segments per file
#         of 20 MiB and more, all files at once: the queue takes 20)
# aria2c: aria2c -i LIST -j FILES -x6 -s6   (and with -k1M: with its default
#         smallest piece of 20 MiB a 64 MiB file gets only two connections)
# curl:   one curl per file, all started together.
# Per tool: wall time until every file is there, peak resident memory (curl: the
# sum of its processes' peaks), CPU time (user + system), and Lumet's own figures
# from --stats: how late its 500 ms ticks ran (median, p99, max) and its peak RSS.
# Every file is checked by SHA-256. Rounds interleave the tools; each tool's
# fastest round is shown, and Lumet's tick figures of every round.
# Usage: bench/queue.sh [FILES] [SIZE_MIB] [RATE] [ROUNDS]   (defaults 20, 64, 1m, 3)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
files=${1:-20}
size=${2:-64}
rate=${3:-1m}
rounds=${4:-3}

bench_init
names=()
for i in $(seq -w 1 "$files"); do
  names+=("f$i.bin")
  random_file "$work/docs/f$i.bin" "$size" >/dev/null
done
want=$(content_sum "$work/docs")

port=$(free_port)
start_nginx 1024 "  tcp_nopush on;
  keepalive_requests 100000;" "  server {
    listen 127.0.0.1:$port;
    root $work/docs;
    location /limited/ { alias $work/docs/; limit_rate $rate; }
  }" "http://127.0.0.1:$port/${names[0]}"

# The lists of both programs for the files under BASE (http://.../ or .../limited/).
write_lists() {
  local base=$1 name
  : >"$work/lumet.list"
  : >"$work/aria2.list"
  for name in "${names[@]}"; do
    printf '%s%s\t%s\n' "$base" "$name" "$work/out/$name" >>"$work/lumet.list"
    printf '%s%s\n  out=%s\n' "$base" "$name" "$name" >>"$work/aria2.list"
  done
}

# One run of TOOL: prints "seconds peak_kib cpu_seconds" or "nan nan nan" when a
# file is missing or wrong. Lumet's --stats line goes to $work/stats.txt.
run_tool() {
  local tool=$1 base=$2 start end name
  rm -rf "$work/out" && mkdir -p "$work/out"
  : >"$work/stats.txt"
  case $tool in
    lumet)
      /usr/bin/time -o "$work/time.txt" -f '%e %M %U %S' \
        "$lumet" --get-list "$work/lumet.list" --set Segment=1 --stats >/dev/null 2>"$work/stderr.txt" || true
      grep '^stats:' "$work/stderr.txt" >"$work/stats.txt" || true
      ;;
    aria2c | aria2c-k1M)
      local extra=()
      [ "$tool" = aria2c-k1M ] && extra=(-k1M)
      /usr/bin/time -o "$work/time.txt" -f '%e %M %U %S' \
        aria2c -q -i "$work/aria2.list" -j "$files" -x6 -s6 "${extra[@]}" --allow-overwrite=true \
        --file-allocation=none -d "$work/out" >/dev/null 2>"$work/stderr.txt" || true
      ;;
    curl)
      start=$(date +%s.%N)
      for name in "${names[@]}"; do
        /usr/bin/time -o "$work/time.$name.txt" -f '%e %M %U %S' \
          curl -s -o "$work/out/$name" "$base$name" >/dev/null 2>&1 &
      done
      wait
      end=$(date +%s.%N)
      cat "$work"/time.*.txt | awk -v s="$start" -v e="$end" \
        '{ m += $2; c += $3 + $4 } END { printf "%.2f %d %.2f %.2f\n", e - s, m, c, 0 }' >"$work/time.txt"
      rm -f "$work"/time.*.txt
      ;;
  esac
  if [ "$(content_sum "$work/out")" != "$want" ]; then
    echo "FAILED: $tool (a file is missing or wrong)" >&2
    echo "nan nan nan"
    return
  fi
  tail -n1 "$work/time.txt" | awk '{ printf "%s %s %.2f\n", $1, $2, $3 + $4 }'
}

scenario() {
  local title=$1 base=$2 tool line round
  local tools=(lumet aria2c aria2c-k1M curl)
  declare -A best
  write_lists "$base"
  echo "## $title (load average before: $(cut -d' ' -f1-3 /proc/loadavg))"
  for round in $(seq 1 "$rounds"); do
    for tool in "${tools[@]}"; do
      line=$(run_tool "$tool" "$base")
      [ "$tool" = lumet ] && echo "round $round lumet: ${line%% *} s, $(cat "$work/stats.txt")"
      keep_best best "$tool" "$line"
    done
  done
  echo "best of $rounds:"
  print_best best "${tools[@]}"
  echo
}

machine_line
echo "# $files files of $size MiB"
scenario "1. $files x $size MiB, unlimited" "http://127.0.0.1:$port/"
scenario "2. $files x $size MiB, $rate per connection" "http://127.0.0.1:$port/limited/"
