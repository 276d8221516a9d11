#!/usr/bin/env bash
# Start-up, page load, CPU and memory of the browser beside GNOME Web (`epiphany`, when it is
# installed) and a bare gtkmm window, alternating in one run: one warm-up round, then RUNS rounds
# (default 5); medians close the output.
#   start-up   process start to the main window mapped, and the CPU time of the process until then
#              (the browser with a state of 100 tabs in 5 spaces and with an empty one; GNOME Web;
#              the bare window as the floor)
#   load       process start to the load event of the one tab's page (a local article)
#   cpu        CPU seconds of the whole process tree from start to 10 s after that load
#   pss 1      whole-tree PSS then, one tab loaded
#   pss 10     whole-tree PSS 5 s after the tenth tab has loaded, each opened with Ctrl+T, the
#              address typed, and shown until its page has loaded plus a second
#   pss 1 left whole-tree PSS 5 s after closing 9 of them with Ctrl+W
# Memory is also given for the UI process alone (in brackets). Needs a display and xdotool:
#   scripts/headless bench/ui/startup_memory.sh BUILD_DIR [RUNS]
# Extra environment (GSK_RENDERER=…) reaches every program; KOVI=PATH runs another build of the
# browser (to compare with an earlier one).
set -euo pipefail
build=${1:?usage: scripts/headless startup_memory.sh BUILD_DIR [RUNS]}
runs=${2:-5}
build=$(cd "$build" && pwd)
helper="$build/bench/kovi_startup_memory_bench"
bare="$build/bench/kovi_bare_window"
kovi=${KOVI:-$build/src/ui/kovi}
[ -n "${DISPLAY:-}" ] || { echo "no display: run it under scripts/headless" >&2; exit 2; }
for program in "$helper" "$bare" "$kovi"; do
  [ -x "$program" ] || { echo "build $program first" >&2; exit 2; }
done
command -v xdotool >/dev/null || { echo "xdotool is missing" >&2; exit 2; }
browsers=(kovi)
command -v epiphany >/dev/null && browsers+=(epiphany)

tck=$(getconf CLK_TCK)
work=$(mktemp -d)
server_pid= browser_pid= bus_pid= watcher_pid=
cleanup() {
  for pid in "$browser_pid" "$watcher_pid" "$bus_pid" "$server_pid"; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

now_ns() { date +%s%N; }

"$helper" --serve >"$work/server.log" &
server_pid=$!
for _ in $(seq 100); do grep -q '^url ' "$work/server.log" && break; sleep 0.1; done
base=$(sed -n 's/^url //p' "$work/server.log")
[ -n "$base" ] || { echo "the page server did not start" >&2; exit 1; }

# Every program gets the same private session bus: GNOME Web does not start without one.
dbus-daemon --session --nofork --print-address=1 >"$work/bus" 2>/dev/null &
bus_pid=$!
for _ in $(seq 100); do [ -s "$work/bus" ] && break; sleep 0.1; done
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")

use_profile() {
  local profile="$work/profile-$1"
  mkdir -p "$profile"
  export HOME="$profile" XDG_DATA_HOME="$profile/data" XDG_CONFIG_HOME="$profile/config" \
    XDG_CACHE_HOME="$profile/cache" XDG_STATE_HOME="$profile/state"
}

# The descendants of a process, itself first.
tree_pids() {
  local root=$1 stat line pid
  local -A parent=()
  for stat in /proc/[0-9]*/stat; do
    { read -r line <"$stat"; } 2>/dev/null || continue
    pid=${stat#/proc/}; pid=${pid%/stat}
    set -- ${line##*) }
    parent[$pid]=$2
  done
  echo "$root"
  for pid in "${!parent[@]}"; do
    local p=${parent[$pid]}
    while [ -n "$p" ] && [ "$p" != 1 ] && [ "$p" != 0 ]; do
      if [ "$p" = "$root" ]; then echo "$pid"; break; fi
      p=${parent[$p]:-}
    done
  done
}

# CPU ticks of a process (all its threads, and the children it has reaped).
ticks_of() {
  local line
  { read -r line <"/proc/$1/stat"; } 2>/dev/null || { echo 0; return; }
  set -- ${line##*) }
  echo $(( ${12} + ${13} + ${14} + ${15} ))
}

tree_cpu() {
  local total=0 pid
  for pid in $(tree_pids "$1"); do total=$(( total + $(ticks_of "$pid") )); done
  awk -v t="$total" -v k="$tck" 'BEGIN { printf "%.2f", t / k }'
}

pss_of() { awk '/^Pss:/ { print $2; found = 1 } END { if (!found) print 0 }' "/proc/$1/smaps_rollup" 2>/dev/null || echo 0; }

# "tree-MB ui-MB"
tree_pss() {
  local total=0 pid
  for pid in $(tree_pids "$1"); do total=$(( total + $(pss_of "$pid") )); done
  echo "$(( total / 1024 )) $(( $(pss_of "$1") / 1024 ))"
}

stop_browser() {
  [ -n "$browser_pid" ] || return 0
  kill "$browser_pid" 2>/dev/null || true
  wait "$browser_pid" 2>/dev/null || true
  browser_pid=
  # Web and network processes end with their UI process; a second for them to go.
  sleep 1
}

launch() {
  case $1 in
    kovi-many|kovi-empty|kovi) "$kovi" >"$work/$1.log" 2>&1 & ;;
    epiphany) epiphany --private-instance ${2:-} >"$work/$1.log" 2>&1 & ;;
    bare) "$bare" >"$work/$1.log" 2>&1 & ;;
  esac
  browser_pid=$!
}

# Milliseconds from process start to the first top-level window mapped.
startup_one() {
  local name=$1
  case $name in
    kovi-many) use_profile many ;;
    kovi-empty) use_profile empty ;;
    *) use_profile "$name" ;;
  esac
  "$helper" --watch-map >"$work/map" &
  watcher_pid=$!
  for _ in $(seq 200); do grep -q ready "$work/map" && break; sleep 0.02; done
  local t0
  t0=$(now_ns)
  launch "$name"
  wait "$watcher_pid" || true
  watcher_pid=
  local mapped cpu
  mapped=$(sed -n 2p "$work/map")
  cpu=$(ticks_of "$browser_pid")
  stop_browser
  [ -n "$mapped" ] || { echo "$name: no window was mapped" >&2; cat "$work/$name.log" >&2; return 1; }
  awk -v a="$t0" -v b="$mapped" -v c="$cpu" -v k="$tck" 'BEGIN { printf "%.0f %.0f", (b - a) / 1e6, c * 1000 / k }'
}

loads() { grep -c '^loaded' "$work/server.log" || true; }

# Waits for the page load number $1 (counted over the server's life); prints its time.
wait_load() {
  local deadline=$(( $(now_ns) + 60000000000 ))
  while [ "$(loads)" -lt "$1" ]; do
    [ "$(now_ns)" -lt "$deadline" ] || return 1
    kill -0 "$browser_pid" 2>/dev/null || return 1
    sleep 0.05
  done
  sed -n 's/^loaded [^ ]* //p' "$work/server.log" | sed -n "$1p"
}

load_one() {
  local name=$1 round=$2 n t0 loaded
  use_profile "$name-load-$round"
  n=$(loads)
  # Keys go to the window under the pointer (no window manager): the middle of the page.
  xdotool mousemove 700 500
  [ "$name" = kovi ] && "$helper" --prepare page "$base/p0" >/dev/null
  t0=$(now_ns)
  launch "$name" "$base/p0"
  loaded=$(wait_load $(( n + 1 ))) || { echo "$name: the page did not load" >&2; cat "$work/$name.log" >&2; stop_browser; return 1; }
  local load_ms cpu one ten left i
  load_ms=$(awk -v a="$t0" -v b="$loaded" 'BEGIN { printf "%.0f", (b - a) / 1e6 }')
  sleep "$(awk -v l="$loaded" -v now="$(now_ns)" 'BEGIN { s = (l + 10e9 - now) / 1e9; printf "%.2f", (s > 0 ? s : 0) }')"
  cpu=$(tree_cpu "$browser_pid")
  one=$(tree_pss "$browser_pid")
  for i in $(seq 1 9); do
    xdotool key ctrl+t
    sleep 0.5
    xdotool type --delay 5 "$base/p$i"
    xdotool key Return
    wait_load $(( n + 1 + i )) >/dev/null || { echo "$name: tab $((i + 1)) did not load" >&2; stop_browser; return 1; }
    sleep 1
  done
  sleep 4
  ten=$(tree_pss "$browser_pid")
  for i in $(seq 1 9); do xdotool key ctrl+w; sleep 0.3; done
  sleep 5
  left=$(tree_pss "$browser_pid")
  stop_browser
  echo "$load_ms $cpu $one $ten $left"
}

use_profile many; "$helper" --prepare many >/dev/null
use_profile empty; "$helper" --prepare empty >/dev/null

startups=(kovi-many kovi-empty bare)
[ "${#browsers[@]}" -gt 1 ] && startups+=(epiphany)
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg); GSK_RENDERER=${GSK_RENDERER:-(not set)}; $(nproc) cores"
for round in $(seq 0 "$runs"); do
  for name in "${startups[@]}"; do
    figures=$(startup_one "$name") || continue
    [ "$round" -gt 0 ] && echo "startup $name $figures" >>"$work/results"
    read -r ms cpu <<<"$figures"
    printf '%-10s round %d: start-up %5s ms (CPU %4s ms)%s\n' "$name" "$round" "$ms" "$cpu" \
      "$([ "$round" = 0 ] && echo ' (warm-up)')"
  done
  for name in "${browsers[@]}"; do
    figures=$(load_one "$name" "$round") || continue
    [ "$round" -gt 0 ] && echo "load $name $figures" >>"$work/results"
    read -r l c p1 u1 p10 u10 pc uc <<<"$figures"
    printf '%-10s round %d: load %5s ms  cpu %5s s  PSS 1 tab %4s MB (UI %3s)  10 tabs %5s (UI %3s)  after closing 9 %4s (UI %3s)\n' \
      "$name" "$round" "$l" "$c" "$p1" "$u1" "$p10" "$u10" "$pc" "$uc"
  done
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

median() { # KIND NAME FIELD
  awk -v k="$1" -v n="$2" -v f="$3" '$1 == k && $2 == n { a[++c] = $f + 0 }
    END {
      if (!c) { printf "-"; exit }
      for (i = 1; i <= c; i++) for (j = i + 1; j <= c; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
      m = (c % 2) ? a[(c + 1) / 2] : (a[c / 2] + a[c / 2 + 1]) / 2
      printf (m == int(m) ? "%d" : "%.2f"), m
    }' "$work/results"
}
web() { [ "${#browsers[@]}" -gt 1 ] && median "$@" || printf -- "-"; }
echo
echo "medians of $runs rounds          Kovi      GNOME Web"
both() { echo "$(median "$@") ($(median "$1" "$2" $(( $3 + 1 ))))"; }
printf '%-32s %-9s %s\n' "start-up, 100 tabs, ms (CPU)" "$(both startup kovi-many 3)" \
  "$([ "${#browsers[@]}" -gt 1 ] && both startup epiphany 3 || echo -)"
printf '%-32s %-9s\n' "start-up, empty state, ms (CPU)" "$(both startup kovi-empty 3)"
printf '%-32s %-9s\n' "bare gtkmm window, ms (CPU)" "$(both startup bare 3)"
printf '%-32s %-9s %s\n' "page load (ms)" "$(median load kovi 3)" "$(web load epiphany 3)"
printf '%-32s %-9s %s\n' "CPU to 10 s after load (s)" "$(median load kovi 4)" "$(web load epiphany 4)"
printf '%-32s %-9s %s\n' "PSS 1 tab, tree (UI) MB" "$(median load kovi 5) ($(median load kovi 6))" \
  "$(web load epiphany 5) ($(web load epiphany 6))"
printf '%-32s %-9s %s\n' "PSS 10 tabs, tree (UI) MB" "$(median load kovi 7) ($(median load kovi 8))" \
  "$(web load epiphany 7) ($(web load epiphany 8))"
printf '%-32s %-9s %s\n' "PSS 9 closed +5 s, tree (UI) MB" "$(median load kovi 9) ($(median load kovi 10))" \
  "$(web load epiphany 9) ($(web load epiphany 10))"
