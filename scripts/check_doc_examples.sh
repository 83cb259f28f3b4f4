#!/usr/bin/env bash
# Quoted examples stay true: every code block of docs/*.md that follows a line
#   <!-- example: examples/<file> -->
# must be that file, byte for byte, so the docs show what the install test builds and runs.
#   scripts/check_doc_examples.sh [source root]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
failures=0
quoted=0
for doc in docs/*.md; do
  while IFS= read -r line; do
    file=$(sed -E 's/^<!-- example: ([^ ]+) -->$/\1/' <<< "$line")
    [ -f "$file" ] || { echo "$doc: names $file, which does not exist" >&2; failures=$((failures + 1)); continue; }
    # The block: from the fence after the marker to the next closing fence.
    block=$(awk -v marker="$line" '
      $0 == marker { state = 1; next }
      state == 1 && /^```/ { state = 2; next }
      state == 2 && /^```$/ { exit }
      state == 2 { print }' "$doc")
    if [ "$block" != "$(cat "$file")" ]; then
      echo "$doc: the example quoted from $file differs from the file:" >&2
      diff <(printf '%s\n' "$block") "$file" >&2 || true
      failures=$((failures + 1))
    fi
    quoted=$((quoted + 1))
  done < <(grep -E '^<!-- example: [^ ]+ -->$' "$doc" || true)
done
[ "$failures" -eq 0 ] || exit 1
echo "check_doc_examples: $quoted quoted example(s) match their files"
