#!/usr/bin/env bash
# build.sh <build-dir> [cmake options...]: configures (once) and builds.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dir=$1; shift
"$root/scripts/install-deps.sh"
# Paths relative to the checkout, so worktrees share one compiler cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
