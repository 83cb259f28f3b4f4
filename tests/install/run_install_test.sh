#!/usr/bin/env bash
# Installs the build into a fresh prefix and builds a small C program against it twice:
# once through the CMake package (find_package(VeltSDK)) and once through pkg-config.
set -euo pipefail
build=$1
here=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" > "$work/install.log"

for f in include/mvencode.h include/lyrsso.h lib/libmvencode.so lib/liblyrsso.so \
         lib/cmake/VeltSDK/VeltSDKConfig.cmake lib/pkgconfig/mvencode.pc lib/pkgconfig/lyrsso.pc \
         bin/velt-encode; do
  [ -e "$prefix/$f" ] || { echo "missing in the installed prefix: $f"; exit 1; }
done

echo "-- CMake package"
cmake -S "$here/consumer" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$prefix" > "$work/configure.log" \
  || { cat "$work/configure.log"; exit 1; }
cmake --build "$work/cmake-build" > "$work/build.log" || { cat "$work/build.log"; exit 1; }
"$work/cmake-build/consumer" "$work"

echo "-- pkg-config"
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
cc -std=c99 -Wall -Werror -o "$work/consumer-pc" "$here/consumer/main.c" \
  $(pkg-config --cflags --libs mvencode lyrsso) -Wl,-rpath,"$prefix/lib"
"$work/consumer-pc" "$work"

echo "-- installed tool"
"$prefix/bin/velt-encode" --help > /dev/null
echo "install test passed"
