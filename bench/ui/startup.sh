#!/usr/bin/env bash
# Start-up figures of the browser window: prepares a profile of 100 tabs in 5 spaces in a private
# XDG folder, then starts the browser RUNS times (default 10) under a private display and prints
# each run's time to the first painted frame, resident memory then, and the number of web
# processes started (expected 0: no page is shown yet). BOOKMARKS=N adds N bookmarks to the
# profile and shows the bookmarks bar.
#   bench/ui/startup.sh BUILD_DIR [RUNS]
set -euo pipefail
build=${1:?usage: startup.sh BUILD_DIR [RUNS]}
runs=${2:-10}
bench="$build/bench/kovi_startup_bench"
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
export HOME="$profile" XDG_DATA_HOME="$profile/data" XDG_CONFIG_HOME="$profile/config" XDG_CACHE_HOME="$profile/cache"
"$bench" --prepare ${BOOKMARKS:-}
here=$(cd "$(dirname "$0")" && pwd)
"$here/../../scripts/headless" bash -c '
  for i in $(seq '"$runs"'); do
    t0=$(date +%s%N)
    "'"$bench"'" --run "$t0"
  done'
