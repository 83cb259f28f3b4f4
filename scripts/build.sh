#!/usr/bin/env bash
# Configures and builds one build tree: build.sh <dir> [extra cmake arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
jobs=${VELT_JOBS:-$(nproc)}
cmake -S "$root" -B "$root/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > "$root/$dir.configure.log" 2>&1 \
  || { cat "$root/$dir.configure.log"; exit 1; }
cmake --build "$root/$dir" -j "$jobs"
