#!/usr/bin/env bash
# The demo: installs what is missing, builds the SDK, then shows its libraries at work: a front end
# calling the platform emulator in the same process, then the encoder and the ticket library.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh build

bin=$root/build/tools
"$bin/velt-demo"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
run() { printf '$ velt-encode'; printf ' %q' "$@"; echo; "$bin/velt-encode" "$@"; }

echo
echo "== Password encoder (libmvencode)"
run encode --type 4 hello
run encode --type 5 --key K3y Passw0rd2026
run decode --type 5 --key K3y "$("$bin/velt-encode" encode --type 5 --key K3y Passw0rd2026)"
protected=$("$bin/velt-encode" encode --type 6 --key 'pass phrase' 'my secret')
run encode --type 6 --key 'pass phrase' 'my secret'
run decode --type 6 --key 'pass phrase' "$protected"
run reencode --from 6 --from-key 'pass phrase' --to 6 --to-key 'new phrase' "$protected"

echo
echo "== Sign-on tickets (liblyrsso)"
printf '[LYRSSO]\nValidTime=120\nSpecialString=demo-secret\n' > demo.ini
echo "demo.ini:"; sed 's/^/  /' demo.ini
run sign --ini demo.ini WEBAPP alice
ticket=$("$bin/velt-encode" sign --ini demo.ini WEBAPP alice)
run verify --ini demo.ini WEBAPP alice "$ticket"
set +e
run verify --ini demo.ini WEBAPP bob "$ticket"
echo "(exit $? — the ticket belongs to alice: -332)"
set -e
echo
echo "demo finished"
