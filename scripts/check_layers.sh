#!/usr/bin/env bash
# Include-direction check: every library includes only its own headers and those of the layers
# below it (docs/architecture.md). A source file's quoted includes of the form "<folder>/<file>"
# must name a folder its unit may use; anything else fails with the file, the line and the rule.
# Tests and test helpers are outside the layers and not checked.
#   scripts/check_layers.sh [source root]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

# unit (a folder of the tree) -> the include folders it may name, lowest layers first.
allowed() {
  case $1 in
    platform)              echo "platform" ;;
    wire)                  echo "wire" ;;
    veltcli/support)       echo "platform wire support" ;;
    veltcli/transport)     echo "platform wire support transport" ;;
    veltcli/codec)         echo "platform wire support codec" ;;
    veltcli/rgcomp)        echo "platform rgcomp" ;;
    veltcli/cert)          echo "platform cert" ;;
    veltcli/core)          echo "platform wire support transport codec rgcomp core" ;;
    veltcli/calls)         echo "platform wire support transport codec core calls" ;;
    veltcli/infocenter)    echo "platform wire support transport codec core calls infocenter" ;;
    veltcli/api)           echo "platform wire support transport codec rgcomp cert core calls infocenter api" ;;
    emulator)              echo "platform wire" ;;
    outside/plugin-example|outside/svcgate) echo "wire" ;;
    outside/*|mvencode|lyrsso|warden|jni/*|tools*) echo "platform armorrt" ;;
    *)                     echo "" ;;
  esac
}

unit_of() {
  case $1 in
    veltcli/*/*) echo "${1%/*}" | cut -d/ -f1-2 ;;
    outside/*/*) echo "$1" | cut -d/ -f1-2 ;;
    jni/*/*)     echo "$1" | cut -d/ -f1-2 ;;
    */*)         echo "${1%%/*}" ;;
    *)           echo "" ;;
  esac
}

is_test() {
  case $1 in
    *_test.cpp|*/tests/*|*/test_*|*test_support*|testsupport/*|tests/*|bench/*|fuzz/*|examples/*) return 0 ;;
  esac
  return 1
}

failures=0
while IFS= read -r file; do
  is_test "$file" && continue
  unit=$(unit_of "$file")
  [ -n "$unit" ] || continue
  rules=" $(allowed "$unit") "
  while IFS=: read -r line folder; do
    [ -n "$folder" ] || continue
    case "$rules" in
      *" $folder "*) ;;
      *) echo "$file:$line: includes \"$folder/...\", which $unit may not use (allowed: ${rules# })" >&2
         failures=$((failures + 1)) ;;
    esac
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[^"/]+/' "$file" |
           sed -E 's/^([0-9]+):[^"]*"([^"/]+)\/.*/\1:\2/')
done < <(git ls-files -co --exclude-standard -- '*.c' '*.cpp' '*.h' | grep -v '^build')

if [ "$failures" -ne 0 ]; then
  echo "check_layers: $failures include(s) point upward or across; see docs/architecture.md" >&2
  exit 1
fi
echo "check_layers: every include points downward"
