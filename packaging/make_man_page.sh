#!/usr/bin/env bash
# Makes a program's manual page from its --help and --version (help2man), so the two never
# disagree, with the --help of every subcommand listed under "Commands:" added.
#   usage: make_man_page.sh PROGRAM "ONE-LINE DESCRIPTION" INCLUDE.h2m OUT.1.gz
set -euo pipefail
program=$1 description=$2 include=$3 out=$4
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

cp "$include" "$tmp/include.h2m"
commands=$("$program" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z-]*\).*/\1/p')
if [ -n "$commands" ]; then
  {
    echo "[COMMANDS]"
    for c in $commands; do
      echo ".SS $c"
      echo ".nf"
      # roff: a backslash is written \e, and a line may not start with a control character.
      "$program" "$c" --help | sed -e 's/\\/\\e/g' -e "s/^[.']/\\\\\&&/"
      echo ".fi"
    done
  } >>"$tmp/include.h2m"
fi
help2man --no-info --name="$description" --include="$tmp/include.h2m" \
  --output="$tmp/page.1" "$program"
gzip -9n <"$tmp/page.1" >"$out.new"
mv "$out.new" "$out"
