#!/usr/bin/env bash
# What one page load costs the browser, in CPU time (user + system, read from /proc), beside
# GNOME Web (`epiphany`) in the same run when it is installed. Each run starts the browser on a
# fresh profile whose only tab, active, shows a local page a few screens long, and reports:
#   tree   CPU seconds of the whole process tree (UI, web and network processes) from start to
#          10 s after the page's load event;
#   fade   CPU seconds of the UI process in those 10 s, while the engine fades its overlay scroll
#          bar, and the busiest second of it (percent of one core);
#   hover  CPU seconds of the UI process in the 5 s from the moment the pointer comes into the
#          window and wanders over the page for 3 s, and the busiest second.
# Runs alternate between the browsers; medians close the output. Needs a display and xdotool:
#   scripts/headless bench/ui/frame_cost.sh BUILD_DIR [RUNS]
# Extra environment (GSK_RENDERER=…) reaches both browsers; KOVI=PATH runs another build of the
# browser (to compare with an earlier one).
set -euo pipefail
build=${1:?usage: scripts/headless frame_cost.sh BUILD_DIR [RUNS]}
runs=${2:-5}
build=$(cd "$build" && pwd)
helper="$build/bench/kovi_frame_cost_bench"
kovi=${KOVI:-$build/src/ui/kovi}
[ -n "${DISPLAY:-}" ] || { echo "no display: run it under scripts/headless" >&2; exit 2; }
[ -x "$helper" ] && [ -x "$kovi" ] || { echo "build $build first (kovi, kovi_frame_cost_bench)" >&2; exit 2; }
command -v xdotool >/dev/null || { echo "xdotool is missing" >&2; exit 2; }
browsers=(kovi)
command -v epiphany >/dev/null && browsers+=(epiphany)

tck=$(getconf CLK_TCK)
work=$(mktemp -d)
server_pid=
browser_pid=
bus_pid=
cleanup() {
  [ -n "$browser_pid" ] && kill "$browser_pid" 2>/dev/null || true
  [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null || true
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$helper" --serve >"$work/server.log" &
server_pid=$!
for _ in $(seq 100); do grep -q '^url ' "$work/server.log" && break; sleep 0.1; done
url=$(sed -n 's/^url //p' "$work/server.log")
[ -n "$url" ] || { echo "the page server did not start" >&2; exit 1; }

# GNOME Web does not start without a session bus: it gets a private one.
if [ "${#browsers[@]}" -gt 1 ]; then
  dbus-daemon --session --nofork --print-address=1 >"$work/bus" 2>/dev/null &
  bus_pid=$!
  for _ in $(seq 100); do [ -s "$work/bus" ] && break; sleep 0.1; done
  bus=$(head -n1 "$work/bus")
fi

now_ns() { date +%s%N; }

# CPU ticks of one process (all its threads), with those of its children it has reaped.
ticks_of() {
  local line
  { read -r line <"/proc/$1/stat"; } 2>/dev/null || { echo 0; return; }
  set -- ${line##*) }
  echo $(( ${12} + ${13} + ${14} + ${15} ))
}

# CPU ticks of a process and of every descendant alive now.
tree_ticks() {
  local root=$1 stat line pid total=0
  local -A parent=()
  for stat in /proc/[0-9]*/stat; do
    { read -r line <"$stat"; } 2>/dev/null || continue
    pid=${stat#/proc/}; pid=${pid%/stat}
    set -- ${line##*) }
    parent[$pid]=$2
  done
  for pid in "${!parent[@]}"; do
    local p=$pid
    while [ -n "$p" ] && [ "$p" != 1 ] && [ "$p" != 0 ]; do
      if [ "$p" = "$root" ]; then total=$(( total + $(ticks_of "$pid") )); break; fi
      p=${parent[$p]:-}
    done
  done
  echo "$total"
}

seconds() { awk -v t="$1" -v k="$tck" 'BEGIN { printf "%.2f", t / k }'; }

# Samples the UI process every 0.2 s for $2 seconds into $3 ("ns ticks" lines).
sample() {
  local pid=$1 until=$(( $(now_ns) + $2 * 1000000000 )) out=$3
  : >"$out"
  while [ "$(now_ns)" -lt "$until" ]; do
    echo "$(now_ns) $(ticks_of "$pid")" >>"$out"
    sleep 0.2
  done
  echo "$(now_ns) $(ticks_of "$pid")" >>"$out"
}

# "total-seconds busiest-percent" of a sample file.
summarise() {
  awk -v k="$tck" '
    { t[NR] = $1 / 1e9; c[NR] = $2 }
    END {
      peak = 0
      for (i = 1; i <= NR; i++)
        for (j = i + 1; j <= NR; j++)
          if (t[j] - t[i] >= 1) { r = (c[j] - c[i]) / k / (t[j] - t[i]); if (r > peak) peak = r; break }
      printf "%.2f %.0f", (c[NR] - c[1]) / k, peak * 100
    }' "$1"
}

wait_loaded() {
  local before=$1 deadline=$(( $(now_ns) + 60000000000 ))
  while [ "$(grep -c '^loaded' "$work/server.log")" -le "$before" ]; do
    [ "$(now_ns)" -lt "$deadline" ] || return 1
    kill -0 "$browser_pid" 2>/dev/null || return 1
    sleep 0.05
  done
}

hover() {
  local x y i
  xdotool mousemove 700 1015
  for i in $(seq 0 29); do
    x=$(( 420 + (i * 53) % 700 )); y=$(( 150 + (i * 97) % 500 ))
    xdotool mousemove "$x" "$y"
    sleep 0.1
  done
}

run_one() {
  local name=$1 profile="$work/profile-$1-$2"
  mkdir -p "$profile"
  export HOME="$profile" XDG_DATA_HOME="$profile/data" XDG_CONFIG_HOME="$profile/config" \
    XDG_CACHE_HOME="$profile/cache" XDG_STATE_HOME="$profile/state"
  xdotool mousemove 1279 1023
  local loads
  loads=$(grep -c '^loaded' "$work/server.log" || true)
  case $name in
    kovi)
      "$helper" --prepare "$url"
      "$kovi" >"$work/$name.log" 2>&1 &
      ;;
    epiphany)
      DBUS_SESSION_BUS_ADDRESS=$bus epiphany --private-instance "$url" >"$work/$name.log" 2>&1 &
      ;;
  esac
  browser_pid=$!
  if ! wait_loaded "$loads"; then
    echo "$name: the page did not load" >&2
    cat "$work/$name.log" >&2
    kill "$browser_pid" 2>/dev/null || true
    wait "$browser_pid" 2>/dev/null || true
    browser_pid=
    return 1
  fi
  sample "$browser_pid" 10 "$work/fade"
  local tree
  tree=$(seconds "$(tree_ticks "$browser_pid")")
  hover &
  local mover=$!
  sample "$browser_pid" 5 "$work/hover"
  wait "$mover"
  read -r fade fade_peak < <(summarise "$work/fade")
  read -r hov hov_peak < <(summarise "$work/hover")
  printf '%-9s run %d: tree %6s s   fade %5s s (busiest second %4s%%)   hover %5s s (busiest second %4s%%)\n' \
    "$name" "$2" "$tree" "$fade" "$fade_peak" "$hov" "$hov_peak"
  echo "$name $tree $fade $fade_peak $hov $hov_peak" >>"$work/results"
  kill "$browser_pid" 2>/dev/null || true
  wait "$browser_pid" 2>/dev/null || true
  browser_pid=
  sleep 1
}

load=$(cut -d' ' -f1-3 /proc/loadavg)
echo "load average before: $load; GSK_RENDERER=${GSK_RENDERER:-(not set)}"
for i in $(seq "$runs"); do
  for name in "${browsers[@]}"; do
    run_one "$name" "$i" || true
  done
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "medians of $runs runs (CPU seconds; busiest second in % of one core):"
for name in "${browsers[@]}"; do
  grep "^$name " "$work/results" 2>/dev/null | awk -v n="$name" '
    { for (f = 2; f <= 7; f++) v[f, NR] = $f }
    END {
      if (NR == 0) exit
      printf "%-9s tree %6s   fade %5s (%s%%)   hover %5s (%s%%)\n", n,
        med(2), med(3), med(4), med(5), med(6)
    }
    function med(f,   a, i, j, t, m) {
      for (i = 1; i <= NR; i++) a[i] = v[f, i] + 0
      for (i = 1; i <= NR; i++) for (j = i + 1; j <= NR; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
      m = (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2
      return m
    }'
done
