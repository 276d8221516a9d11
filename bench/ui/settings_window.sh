#!/usr/bin/env bash
# Time from Ctrl+, to the settings window on screen: prepares a profile in a private XDG folder,
# then starts the browser under a private display, types the shortcut RUNS times (default 10)
# and prints each figure.
#   bench/ui/settings_window.sh BUILD_DIR [RUNS]
set -euo pipefail
build=${1:?usage: settings_window.sh BUILD_DIR [RUNS]}
runs=${2:-10}
bench="$build/bench/kovi_settings_window_bench"
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
export HOME="$profile" XDG_DATA_HOME="$profile/data" XDG_CONFIG_HOME="$profile/config" XDG_CACHE_HOME="$profile/cache"
"$bench" --prepare
here=$(cd "$(dirname "$0")" && pwd)
"$here/../../scripts/headless" "$bench" --run "$runs"
