#!/usr/bin/env bash
# Runs the data-set generator twice and checks that both runs give identical bytes, and
# that the committed data folder, contact sheet and icons are exactly what it makes (so nobody
# edits a generated file by hand, and no stale file stays behind).
#   usage: check_reproducible.sh PATH/TO/make_dataset [REPOSITORY_ROOT]
set -euo pipefail
gen=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
root=${2:-$(cd "$(dirname "$0")/../.." && pwd)}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export QT_QPA_PLATFORM=offscreen

"$gen" "$tmp/first" "$tmp/first.png" "$tmp/first-icons" >/dev/null
"$gen" "$tmp/second" "$tmp/second.png" "$tmp/second-icons" >/dev/null
if ! diff -r "$tmp/first" "$tmp/second" || ! cmp "$tmp/first.png" "$tmp/second.png" ||
   ! diff -r "$tmp/first-icons" "$tmp/second-icons"; then
  echo "FAIL: two runs of make_dataset give different files" >&2
  exit 1
fi
if ! diff -r "$tmp/first" "$root/data" || ! diff -r "$tmp/first-icons" "$root/packaging/icons"; then
  echo "FAIL: data/ or packaging/icons/ differs from what make_dataset makes; regenerate with" >&2
  echo "      build/tools/make_dataset data docs/contact_sheet.png packaging/icons" >&2
  exit 1
fi
if ! cmp "$tmp/first.png" "$root/docs/contact_sheet.png"; then
  echo "FAIL: docs/contact_sheet.png is not what make_dataset makes" >&2
  exit 1
fi
echo "make_dataset is reproducible and data/ is up to date"
