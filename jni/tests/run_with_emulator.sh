#!/usr/bin/env bash
# Runs one command between a redis-server on a fresh Unix socket and a velt-emulator serving a
# request queue on it; the arguments @ADDRESS@ and @QUEUE@ (also inside -Dname=@ADDRESS@) become
# the socket path and the queue name. Both servers are stopped however the command ends.
#   run_with_emulator.sh <velt-emulator> <command...>
set -euo pipefail
emulator=$1
shift
work=$(mktemp -d /tmp/vjava.XXXXXX)   # short: the socket path must stay under 33 characters
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

if ! command -v redis-server > /dev/null; then
  echo "redis-server is not installed"
  if [ -n "${CI:-}" ] && [ "${CI}" != "false" ]; then exit 1; fi
  exit 77   # skipped outside CI
fi

socket=$work/r.sock
queue=JAVA.REQ
redis-server --port 0 --unixsocket "$socket" --save '' --appendonly no --dir "$work" > "$work/redis.log" 2>&1 &
pids+=($!)
for _ in $(seq 200); do [ -S "$socket" ] && break; sleep 0.05; done
[ -S "$socket" ] || { echo "redis-server did not start:"; cat "$work/redis.log"; exit 1; }
"$emulator" --address "$socket" --protocol 2 --request-queue "$queue" --workers 4 > "$work/emulator.log" 2>&1 &
pids+=($!)

args=()
for a in "$@"; do
  a=${a//@ADDRESS@/$socket}
  args+=("${a//@QUEUE@/$queue}")
done
status=0
"${args[@]}" || status=$?
if [ "$status" -ne 0 ]; then
  echo "-- emulator log"
  tail -n 20 "$work/emulator.log"
fi
exit "$status"
