#!/usr/bin/env bash
# Exercises the glb_pack program as a user runs it: build from a manifest, list, extract,
# and the failures that must leave existing files alone.
#   usage: check_commands.sh PATH/TO/glb_pack
set -euo pipefail
pack=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
fails=0
check() { # check DESCRIPTION COMMAND... : the command must succeed
  local what=$1; shift
  if ! "$@"; then echo "FAIL: $what" >&2; fails=$((fails + 1)); fi
}
status() { set +e; "$@" >"$tmp/out" 2>"$tmp/err"; echo $?; set -e; }

mkdir -p "pics/with blank"
printf 'first item' >pics/one.bin
printf 'BM-not-really-a-picture' >"pics/with blank/two.bmp"
printf 'first item' >pics/same.bin
cat >pics/list.txt <<'MANIFEST'
# floor glyph of A, a data block, and an item with the same bytes as the first
1 'A' with blank/two.bmp
0 41  one.bin
   7 0 same.bin
MANIFEST

check "build succeeds" test "$(status "$pack" build pics/list.txt lib.glb)" = 0
check "list succeeds" test "$(status "$pack" list lib.glb)" = 0
check "list shows the glyph item" grep -q "^    1  65 'A'" out
check "list counts three items" grep -q "^3 items" out
check "extract by character" test "$(status "$pack" extract lib.glb 1 "'A'" a.out)" = 0
check "extracted bytes equal the source" cmp -s a.out "pics/with blank/two.bmp"
check "extract by number" test "$(status "$pack" extract lib.glb 7 0 s.out)" = 0
check "shared item extracts whole" cmp -s s.out pics/same.bin

# Failures: exit code 1 with a message naming the cause; nothing half-written.
cp lib.glb keep.glb
printf '0 1 missing.bin\n' >pics/bad.txt
check "missing source fails" test "$(status "$pack" build pics/bad.txt lib.glb)" = 1
check "missing source named" grep -q "missing.bin" err
check "old library kept" cmp -s lib.glb keep.glb
printf '0 1 one.bin\n9 1 one.bin\n' >pics/bad.txt
check "bad group fails" test "$(status "$pack" build pics/bad.txt lib.glb)" = 1
check "bad line named" grep -q "line 2" err
printf '0 1 one.bin\n0 1 same.bin\n' >pics/bad.txt
check "duplicate item fails" test "$(status "$pack" build pics/bad.txt lib.glb)" = 1
check "old library still kept" cmp -s lib.glb keep.glb
check "absent item fails" test "$(status "$pack" extract lib.glb 3 5 none.out)" = 1
check "no file for an absent item" test ! -e none.out
head -c 100 lib.glb >short.glb
check "truncated library: absent, not a crash" test "$(status "$pack" extract short.glb 1 65 x.out)" = 1
# A directory entry that points past the end of the file.
cp lib.glb damaged.glb
printf '\x7f\xff\xff\xf0' | dd of=damaged.glb bs=1 seek=$((8 + (256 + 65) * 8)) conv=notrunc 2>/dev/null
check "damaged entry reported by list" test "$(status "$pack" list damaged.glb)" = 1
check "damaged entry refused by extract" test "$(status "$pack" extract damaged.glb 1 65 d.out)" = 1
# A picture item whose header claims the most negative height is listed, not a crash.
printf 'BM%020d\x00\x00\x00\x80\x01\x00\x01\x00' 0 >odd.bmp
printf '0 40 odd.bmp\n' >odd.txt
check "odd picture builds" test "$(status "$pack" build odd.txt odd.glb)" = 0
check "odd picture listed" test "$(status "$pack" list odd.glb)" = 0
# A source larger than any library the editor loads is refused before it is read.
truncate -s 65M huge.bin
printf '0 1 huge.bin\n' >huge.txt
check "huge source refused" test "$(status "$pack" build huge.txt huge.glb)" = 1
check "huge source named" grep -q "too large" err
check "no library from a refused build" test ! -e huge.glb
check "unknown command is a usage error" test "$(status "$pack" frobnicate)" = 2
check "bad group argument is a usage error" test "$(status "$pack" extract lib.glb 8 1 x.out)" = 2

if [ "$fails" -ne 0 ]; then echo "$fails checks failed" >&2; exit 1; fi
echo "glb_pack: all checks passed"
