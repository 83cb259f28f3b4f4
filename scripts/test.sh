#!/usr/bin/env bash
# The whole test suite: installs what is missing, then
#  0. the include-direction check (scripts/check_layers.sh),
#  1. the release build with every test (unit, integration, install),
#  2. an AddressSanitizer + UndefinedBehaviorSanitizer build running the unit and threaded tests,
#  3. a ThreadSanitizer build running the threaded tests,
#  4. each fuzz target for a short bounded run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh

step() { echo; echo "=== $* ==="; }

step "include directions"
bash scripts/check_layers.sh

step "release build and all tests"
bash scripts/build.sh build
ctest --test-dir build --output-on-failure

step "address and undefined-behaviour sanitizers"
bash scripts/build.sh build-asan -DVELT_SANITIZE=address,undefined -DVELT_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -L 'unit|threaded'

step "thread sanitizer"
bash scripts/build.sh build-tsan -DVELT_SANITIZE=thread -DVELT_BUILD_BENCH=OFF
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure -L threaded

step "fuzz targets (bounded runs)"
bash scripts/build.sh build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVELT_FUZZ=ON \
  -DVELT_BUILD_TESTS=OFF -DVELT_BUILD_BENCH=OFF
ctest --test-dir build-fuzz --output-on-failure -L fuzz

step "all test stages passed"
