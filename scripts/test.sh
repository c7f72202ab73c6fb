#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs all tests. OSTREL_SANITIZE=0 runs a plain build instead.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [[ "${OSTREL_SANITIZE:-1}" == "1" ]]; then
  dir="$root/build/sanitize"; opts=(-DCMAKE_BUILD_TYPE=Debug -DOSTREL_SANITIZE=ON)
else
  dir="$root/build/plain"; opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DOSTREL_SANITIZE=OFF)
fi
"$root/scripts/build.sh" "$dir" "${opts[@]}"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:${ASAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:${LSAN_OPTIONS:-}"
cd "$dir"
ctest --output-on-failure -j "$(nproc)" "$@"
