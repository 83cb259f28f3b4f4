#!/usr/bin/env bash
# Builds the Debian package with cpack, checks its name, computed Depends and contents, unpacks
# it into a scratch root (dpkg -x, nothing installed on the system) and uses it from there: a C
# consumer built through find_package(VeltSDK) and through pkg-config calls the packaged
# velt-emulator over a Redis Unix socket, and so does the packaged veltcall.
set -euo pipefail
build=$1
here=$2
version=$3
work=$(mktemp -d /tmp/vpkg.XXXXXX)   # short: the Redis socket path must stay under 33 characters
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

echo "-- cpack"
cpack --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; exit 1; }
deb=$work/out/velt-sdk_${version}_amd64.deb
[ -f "$deb" ] || { echo "no $deb; cpack wrote:"; ls "$work/out"; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libssl3 libjsoncpp25 libhiredis0.14 libc6; do
  [[ ",$depends" == *", $lib"* || ",$depends" == *",$lib"* ]] || { echo "Depends lacks $lib"; exit 1; }
done

dpkg -x "$deb" "$work/root"
prefix=$work/root/usr
for f in include/veltcli.h include/CVELTCli.h include/mvencode.h lib/libveltcli.so lib/librimqapi.so \
         lib/cmake/VeltSDK/VeltSDKConfig.cmake lib/pkgconfig/veltcli.pc bin/veltcall bin/velt-emulator \
         bin/velt-encode share/doc/velt-sdk/veltcall.md share/doc/velt-sdk/README.md \
         share/doc/velt-sdk/examples/config/LUNQCli.ini share/doc/velt-sdk/examples/config/rimqapi.ini; do
  [ -e "$prefix/$f" ] || { echo "missing in the package: $f"; exit 1; }
done

echo "-- CMake package"
cmake -S "$here/consumer" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$prefix" > "$work/configure.log" \
  || { cat "$work/configure.log"; exit 1; }
cmake --build "$work/cmake-build" > "$work/build.log" || { cat "$work/build.log"; exit 1; }

echo "-- pkg-config"
PKG_CONFIG_PATH=$prefix/lib/pkgconfig cc -std=c99 -Wall -Werror -o "$work/consumer-pc" "$here/consumer/main.c" \
  $(PKG_CONFIG_PATH=$prefix/lib/pkgconfig pkg-config --cflags --libs veltcli) -Wl,-rpath,"$prefix/lib"

if ! command -v redis-server > /dev/null; then
  if [ -n "${CI:-}" ] && [ "${CI}" != "false" ]; then echo "redis-server is not installed"; exit 1; fi
  echo "redis-server is not installed: the consumers were built but not run"
  exit 0
fi
echo "-- run against the packaged emulator"
socket=$work/r.sock
redis-server --port 0 --unixsocket "$socket" --save '' --appendonly no --dir "$work" > "$work/redis.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$socket" ] && break; sleep 0.05; done
"$prefix/bin/velt-emulator" --address "$socket" --protocol 2 --request-queue PKG.REQ > "$work/emulator.log" 2>&1 &
pids+=($!)
ready=no
for _ in $(seq 20); do
  "$prefix/bin/veltcall" ping --address "$socket" --protocol 2 --send-queue PKG.REQ --timeout 1 > /dev/null 2>&1 \
    && { ready=yes; break; }
  sleep 0.1
done
[ $ready = yes ] || { echo "the packaged emulator does not answer:"; cat "$work/redis.log" "$work/emulator.log"; exit 1; }
"$work/cmake-build/consumer" "$socket" PKG.REQ
"$work/consumer-pc" "$socket" PKG.REQ
out=$("$prefix/bin/veltcall" call echo NAME=packaged --address "$socket" --protocol 2 --send-queue PKG.REQ)
[ "$out" = "NAME = packaged" ] || { echo "veltcall printed: $out"; exit 1; }
echo "package test passed"
