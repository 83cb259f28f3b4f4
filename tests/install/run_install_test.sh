#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks it as a user would meet it:
#  - every file the build says it installs is there (install_manifest_expected.txt, generated from
#    the libraries, headers and programs the build defines),
#  - every public header compiles as C99 from the prefix alone,
#  - a C program builds against it through the CMake package and through pkg-config and runs,
#  - the example transport plug-in builds from its sources against the prefix,
#  - a C++ program runs the installed emulator library in its own process (Velt::emulator),
#  - the installed programs start,
#  - the installed examples build from the installed tree (CMake and pkg-config), start Redis and
#    the emulator with the shipped script and the example program library, and run against it.
#   run_install_test.sh <build dir> <tests/install dir> <source root>
set -euo pipefail
build=$1
here=$2
source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" > "$work/install.log"

echo "-- installed files"
missing=0
while IFS= read -r f; do
  [ -n "$f" ] || continue
  [ -e "$prefix/$f" ] || { echo "missing in the installed prefix: $f"; missing=1; }
done < "$build/install_manifest_expected.txt"
[ "$missing" -eq 0 ] || exit 1

echo "-- public headers as C99"
for h in "$prefix"/include/*.h; do
  printf '#include "%s"\nint main(void) { return 0; }\n' "$(basename "$h")" > "$work/header.c"
  cc -std=c99 -pedantic-errors -Wall -Werror -fsyntax-only -I"$prefix/include" "$work/header.c" \
    || { echo "does not compile as C99 from the prefix: $(basename "$h")"; exit 1; }
done

echo "-- CMake package"
cmake -S "$here/consumer" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$prefix" > "$work/configure.log" \
  || { cat "$work/configure.log"; exit 1; }
cmake --build "$work/cmake-build" > "$work/build.log" || { cat "$work/build.log"; exit 1; }
"$work/cmake-build/consumer" "$work"

echo "-- pkg-config"
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
cc -std=c99 -Wall -Werror -o "$work/consumer-pc" "$here/consumer/main.c" \
  $(pkg-config --cflags --libs mvencode lyrsso veltcli rimqapi) -Wl,-rpath,"$prefix/lib"
"$work/consumer-pc" "$work"

echo "-- example plug-in from the installed SDK"
cmake -S "$here/plugin" -B "$work/plugin-build" -DCMAKE_PREFIX_PATH="$prefix" \
  -DVELT_PLUGIN_SOURCE="$source/outside/plugin-example" > "$work/plugin-configure.log" \
  || { cat "$work/plugin-configure.log"; exit 1; }
cmake --build "$work/plugin-build" > "$work/plugin-build.log" || { cat "$work/plugin-build.log"; exit 1; }
symbols=$(nm -D --defined-only "$work/plugin-build/plugin_from_sdk.so")
grep -q ' VeltPluginExample_Table$' <<< "$symbols" \
  || { echo "the rebuilt plug-in does not export its entry function"; exit 1; }

echo "-- the emulator library in-process"
cmake -S "$here/emulator" -B "$work/emulator-build" -DCMAKE_PREFIX_PATH="$prefix" > "$work/emulator-configure.log" \
  || { cat "$work/emulator-configure.log"; exit 1; }
cmake --build "$work/emulator-build" > "$work/emulator-build.log" || { cat "$work/emulator-build.log"; exit 1; }
"$work/emulator-build/emulator_inproc"

echo "-- installed programs"
"$prefix/bin/velt-encode" --help > /dev/null
"$prefix/bin/velt-emulator" --help > /dev/null

echo "-- examples from the installed tree"
examples=$prefix/share/doc/velt-sdk/examples
cmake -S "$examples" -B "$work/examples-build" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_C_FLAGS="-Wall -Werror" \
  > "$work/examples-configure.log" || { cat "$work/examples-configure.log"; exit 1; }
cmake --build "$work/examples-build" > "$work/examples-build.log" || { cat "$work/examples-build.log"; exit 1; }
cc -std=c99 -Wall -Werror -o "$work/quick_start-pc" "$examples/quick_start.c" \
  $(pkg-config --cflags --libs veltcli) -Wl,-rpath,"$prefix/lib"
cc -std=c99 -Wall -Werror -o "$work/call_bank" "$here/call_bank.c" -I"$prefix/include" -L"$prefix/lib" -lveltcli \
  -Wl,-rpath,"$prefix/lib"
if command -v redis-server > /dev/null; then
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  run=$work/run
  stop_emulator() { "$examples/start-emulator.sh" stop --dir "$run" || true; }
  trap 'stop_emulator; rm -rf "$work"' EXIT
  "$examples/start-emulator.sh" start --dir "$run" --port "$port" \
    --programs "$work/examples-build/libbusiness_program.so"
  "$work/examples-build/quick_start" 127.0.0.1 "$port" client "$run/client.password"
  "$work/quick_start-pc" 127.0.0.1 "$port" client "$run/client.password" > /dev/null
  "$work/examples-build/async_client" 127.0.0.1 "$port" client client-secret
  "$work/examples-build/result_set_walker" 127.0.0.1 "$port" client client-secret
  "$work/call_bank" 127.0.0.1 "$port" client client-secret
  # A wrong password: the client and the emulator both name the reason.
  printf 'wrong\n' > "$work/wrong.password"
  if "$work/examples-build/quick_start" 127.0.0.1 "$port" client "$work/wrong.password" 2> "$work/wrong.log"; then
    echo "quick_start connected with a wrong password"; exit 1
  fi
  grep -q '^connect: 2035 ' "$work/wrong.log" || { cat "$work/wrong.log"; exit 1; }
  if "$prefix/bin/velt-emulator" --address 127.0.0.1 --port "$port" --request-queue VELT.REQUEST \
       --user emu --password-file "$work/wrong.password" 2> "$work/emulator-wrong.log"; then
    echo "velt-emulator started with a wrong password"; exit 1
  fi
  grep -q "at 127.0.0.1:$port: 2035 not authorised" "$work/emulator-wrong.log" \
    || { cat "$work/emulator-wrong.log"; exit 1; }
  stop_emulator
elif [ -n "${CI:-}" ] && [ "${CI}" != "false" ]; then
  echo "redis-server is missing: the examples cannot run"; exit 1
else
  echo "redis-server is missing: the examples were built, not run"
fi
echo "install test passed"
