#!/usr/bin/env bash
# Memory of the browser's own process while tabs are opened and closed through the keys: Ctrl+T,
# a local page's address typed, Return, its load, Ctrl+W; CYCLES times (default 400), the resident
# size printed every STEP cycles (default 50). The history is full (1,000 visits) from the start,
# so what it holds does not grow. Needs a display and xdotool:
#   scripts/headless bench/ui/tab_cycles.sh BUILD_DIR [CYCLES] [STEP]
# KOVI=PATH runs another build of the browser (to compare with an earlier one).
set -euo pipefail
build=${1:?usage: scripts/headless tab_cycles.sh BUILD_DIR [CYCLES] [STEP]}
cycles=${2:-400}
step=${3:-50}
build=$(cd "$build" && pwd)
helper="$build/bench/kovi_startup_memory_bench"
kovi=${KOVI:-$build/src/ui/kovi}
[ -n "${DISPLAY:-}" ] || { echo "no display: run it under scripts/headless" >&2; exit 2; }
for program in "$helper" "$kovi"; do
  [ -x "$program" ] || { echo "build $program first" >&2; exit 2; }
done

work=$(mktemp -d)
server_pid= browser_pid=
cleanup() {
  for pid in "$browser_pid" "$server_pid"; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

export HOME="$work/profile" XDG_DATA_HOME="$work/profile/data" XDG_CONFIG_HOME="$work/profile/config" \
  XDG_CACHE_HOME="$work/profile/cache" XDG_STATE_HOME="$work/profile/state"
mkdir -p "$HOME"
"$helper" --serve >"$work/server.log" &
server_pid=$!
for _ in $(seq 100); do grep -q '^url ' "$work/server.log" && break; sleep 0.1; done
base=$(sed -n 's/^url //p' "$work/server.log")
[ -n "$base" ] || { echo "the page server did not start" >&2; exit 1; }
"$helper" --prepare page "$base/p0" >/dev/null
python3 - "$XDG_DATA_HOME/KoviBrowser" <<'PY'
import json, sys, uuid
folder = sys.argv[1]
space = json.load(open(folder + "/browser_state.json"))["currentSpaceId"]
visits = [{"id": str(uuid.uuid4()).upper(), "url": "https://old%d.example/" % i, "title": "Old %d" % i,
           "visitedAt": 700000000 - i, "spaceId": space} for i in range(1000)]
json.dump(visits, open(folder + "/history.json", "w"))
PY

loads() { grep -c '^loaded' "$work/server.log" || true; }
wait_load() {
  local deadline=$((SECONDS + 60))
  while [ "$(loads)" -lt "$1" ]; do
    [ $SECONDS -lt $deadline ] && kill -0 "$browser_pid" 2>/dev/null || { echo "load $1 did not happen" >&2; return 1; }
    sleep 0.05
  done
}
rss_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$browser_pid/status"; }

# Keys go to the window under the pointer (no window manager): the middle of the page.
xdotool mousemove 700 500
"$kovi" >"$work/kovi.log" 2>&1 &
browser_pid=$!
wait_load 1
sleep 2
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg); start: $(rss_kb) kB"
for i in $(seq 1 "$cycles"); do
  xdotool key ctrl+t
  sleep 0.3
  xdotool type --delay 2 "$base/p1"
  xdotool key Return
  wait_load $((i + 1))
  sleep 0.2
  xdotool key ctrl+w
  sleep 0.3
  # Freed memory goes back to the system a second after a tab closes.
  [ $((i % step)) = 0 ] && { sleep 1.5; echo "after $i cycles: $(rss_kb) kB"; }
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
