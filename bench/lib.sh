# Shared parts of the benchmark scripts: set-up, one measured run, and the rounds
# that compare Lumet with the other tools. Sourced by http.sh and ftp.sh.

# Builds the Release lumet (or the programs named) and makes a scratch folder in
# tmpfs (so the disk is not what is measured). Sets: top, lumet, karvo, work.
# Servers started later go into bench_pids and are stopped on exit.
bench_init() {
  top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  "$top/scripts/deps.sh"
  cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVK_TESTS=OFF >/dev/null
  cmake --build "$top/build" -j2 --target "${@:-lumet}" >/dev/null
  lumet="$top/build/bin/lumet"
  karvo="$top/build/bin/karvo"
  work=$(mktemp -d /dev/shm/vk-bench.XXXXXX)
  mkdir -p "$work"/{docs,out,vk}
  export VORNELKARVO_ROOT="$work/vk"
  bench_pids=()
  trap bench_cleanup EXIT
}

bench_cleanup() {
  local pid
  for pid in "${bench_pids[@]}"; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}

free_port() {
  /usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'
}

# Writes MIB mebibytes of random bytes to PATH and prints their SHA-256.
random_file() {
  head -c "$(($2 * 1024 * 1024))" /dev/urandom >"$1"
  sha256sum "$1" | cut -d' ' -f1
}

machine_line() {
  echo "# $(date -u +%Y-%m-%d) $(nproc) cores, $(awk '/MemTotal/{printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(uname -r)"
}

# SHA-256 of a file, or of a folder tree (every file's relative path and content).
content_sum() {
  if [ -d "$1" ]; then
    (cd "$1" && find . -type f -print0 | sort -z | xargs -0 -r sha256sum) | sha256sum | cut -d' ' -f1
  else
    sha256sum "$1" 2>/dev/null | cut -d' ' -f1
  fi
}

# One measured run of a command that writes OUT (a file or a folder): prints
# "seconds peak_kib cpu_seconds", or "nan nan nan" when OUT is missing or not
# the expected one.
measure() {
  local sum=$1 out=$2; shift 2
  rm -rf "$out" "$out".*
  # time's own report goes to a file: the tool's stderr is not wanted.
  /usr/bin/time -o "$work/time.txt" -f '%e %M %U %S' "$@" >/dev/null 2>"$work/stderr.txt" || true
  if [ "$(content_sum "$out")" != "$sum" ]; then
    echo "FAILED: $* (wrong or missing file)" >&2
    echo "nan nan nan"
    return
  fi
  tail -n1 "$work/time.txt" | awk '{ printf "%s %s %.2f\n", $1, $2, $3 + $4 }'
}

# Writes nginx.conf under $work/nginx with the settings every benchmark shares, the
# worker connections CONNECTIONS, the extra http directives EXTRA and the server
# blocks SERVERS; starts nginx and waits (5 s at the most) until every URL answers
# (https:// ones checked against $nginx_ca when it is set).
start_nginx() {
  local connections=$1 extra=$2 servers=$3 url; shift 3
  mkdir -p "$work/nginx"
  cat >"$work/nginx/nginx.conf" <<CONF
daemon off;
master_process off;
user root;
worker_processes 1;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections $connections; }
http {
  access_log off;
  client_body_temp_path $work/nginx;
  proxy_temp_path $work/nginx;
  fastcgi_temp_path $work/nginx;
  uwsgi_temp_path $work/nginx;
  scgi_temp_path $work/nginx;
  sendfile on;
$extra
  default_type application/octet-stream;
$servers
}
CONF
  /usr/sbin/nginx -c "$work/nginx/nginx.conf" -p "$work/nginx" &
  bench_pids+=($!)
  local ca=() ready
  [ -n "${nginx_ca:-}" ] && ca=(--cacert "$nginx_ca")
  for _ in $(seq 1 100); do
    ready=1
    for url in "$@"; do
      curl -sf "${ca[@]}" -o /dev/null -r 0-0 "$url" || { ready=0; break; }
    done
    [ "$ready" = 1 ] && return 0
    sleep 0.05
  done
  echo "nginx did not answer: $*" >&2
  return 1
}

# Keeps LINE ("seconds peak_kib cpu_seconds") for TOOL in the associative array named
# BEST when TOOL has none yet or LINE is faster; a failed run ("nan ...") is dropped.
keep_best() {
  local -n kept=$1
  local tool=$2 line=$3
  [ "${line%% *}" = nan ] && return 0
  if [ -z "${kept[$tool]:-}" ] ||
    awk -v a="${line%% *}" -v b="${kept[$tool]%% *}" 'BEGIN { exit !(a < b) }'; then
    kept[$tool]=$line
  fi
}

# Prints the table of each tool's best line ("seconds peak_kib cpu_seconds", held in
# the associative array named BEST) and the first tool's time ratio to every other.
print_best() {
  local -n table=$1; shift
  local tools=("$@") s m c tool
  printf '%-11s %10s %12s %10s\n' tool seconds peak_MiB cpu_s
  for tool in "${tools[@]}"; do
    read -r s m c <<<"${table[$tool]:-nan nan nan}"
    printf '%-11s %10s %12s %10s\n' "$tool" "$s" "$(awk -v k="$m" 'BEGIN{printf "%.1f", k/1024}')" "$c"
  done
  for tool in "${tools[@]:1}"; do
    awk -v a="${table[${tools[0]}]%% *}" -v b="${table[$tool]%% *}" -v t="$tool" \
      -v f="${tools[0]}" 'BEGIN { if (b > 0) printf "time ratio %s/%s: %.2f\n", f, t, a / b }'
  done
}

# compare TITLE SUM ROUNDS TOOL...: runs every tool ROUNDS times, the rounds
# interleaving the tools so that a busy moment of the machine does not fall on one
# tool alone, and reports each tool's fastest round (its RSS and CPU time with it)
# and the first tool's time ratio to every other tool (< 1: the first was faster).
# The script defines command_for TOOL OUT, which sets the array cmd.
compare() {
  local title=$1 sum=$2 rounds=$3; shift 3
  local tools=("$@") out=${compare_out:-$work/out/file} tool line
  declare -A best
  for _ in $(seq 1 "$rounds"); do
    for tool in "${tools[@]}"; do
      command_for "$tool" "$out"
      line=$(measure "$sum" "$out" "${cmd[@]}")
      keep_best best "$tool" "$line"
    done
  done
  echo "## $title, best of $rounds"
  print_best best "${tools[@]}"
  echo
}
