#!/usr/bin/env bash
# Builds the release tree and runs every benchmark; each prints its ratios against a floor measured
# in the same run. Not part of the test suite. Usage: scripts/bench.sh [benchmark name filter]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/build.sh build > /dev/null
filter=${1:-}
for b in build/bench/*_bench; do
  [ -x "$b" ] || continue
  case "$(basename "$b")" in *"$filter"*) ;; *) continue ;; esac
  echo "=== $(basename "$b")"
  "$b" --benchmark_min_time=0.2
done
