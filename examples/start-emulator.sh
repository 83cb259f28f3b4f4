#!/usr/bin/env bash
# Starts a private Redis server with ACL users and velt-emulator serving VELT.REQUEST on it, for
# trying the examples. Everything lives in one folder; "stop" ends both.
#   start-emulator.sh start [--dir D] [--port N] [--programs L[,L...]]   (defaults: ./velt-run, 6379)
#   start-emulator.sh stop  [--dir D]
# Clients then connect to 127.0.0.1:N as user "client" with the password in D/client.password.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
command=${1:-start}
[ $# -gt 0 ] && shift
dir=./velt-run
port=6379
programs=""
while [ $# -gt 0 ]; do
  case $1 in
    --dir) dir=$2; shift 2 ;;
    --port) port=$2; shift 2 ;;
    --programs) programs=$2; shift 2 ;;
    *) echo "start-emulator.sh: unknown argument '$1'" >&2; exit 2 ;;
  esac
done
# The installed SDK puts this script in <prefix>/share/doc/velt-sdk/examples and the program in
# <prefix>/bin; VELT_EMULATOR names another one.
emulator=${VELT_EMULATOR:-$here/../../../../bin/velt-emulator}

stop() {
  for name in emulator redis; do
    if [ -f "$dir/$name.pid" ]; then
      kill "$(cat "$dir/$name.pid")" 2> /dev/null || true
      rm -f "$dir/$name.pid"
    fi
  done
}

case $command in
  stop) stop; exit 0 ;;
  start) ;;
  *) echo "usage: start-emulator.sh start|stop [--dir D] [--port N] [--programs L]" >&2; exit 2 ;;
esac

mkdir -p "$dir"
chmod 700 "$dir"
# Sample ACL: the default user is off; the emulator and the clients each have their own user with
# the rights the queue library needs (docs/rimq.md). Change the passwords for anything shared.
umask 077
printf '%s\n' emu-secret > "$dir/emulator.password"
printf '%s\n' client-secret > "$dir/client.password"
cat > "$dir/users.acl" <<ACL
user default off
user emu on >emu-secret ~rimq:* +@read +@write +@scripting +@connection
user client on >client-secret ~rimq:* +@read +@write +@scripting +@connection
ACL

redis-server --port "$port" --bind 127.0.0.1 --save "" --appendonly no --daemonize yes \
  --dir "$(cd "$dir" && pwd)" --pidfile "$(cd "$dir" && pwd)/redis.pid" --logfile redis.log \
  --aclfile "$(cd "$dir" && pwd)/users.acl"
for _ in $(seq 50); do
  redis-cli -p "$port" --user client --pass client-secret --no-auth-warning ping > /dev/null 2>&1 && break
  sleep 0.1
done

flags=(--address 127.0.0.1 --port "$port" --request-queue VELT.REQUEST --workers 2
       --user emu --password-file "$dir/emulator.password")
[ -n "$programs" ] && flags+=(--programs "$programs")
"$emulator" "${flags[@]}" 2> "$dir/emulator.log" &
echo $! > "$dir/emulator.pid"
# The emulator says "serving" once its queue connections are up, or exits with the reason.
for _ in $(seq 50); do
  grep -q serving "$dir/emulator.log" && { echo "emulator serving VELT.REQUEST at 127.0.0.1:$port"; exit 0; }
  kill -0 "$(cat "$dir/emulator.pid")" 2> /dev/null || break
  sleep 0.1
done
cat "$dir/emulator.log" >&2
stop
exit 1
