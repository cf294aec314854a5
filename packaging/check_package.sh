#!/usr/bin/env bash
# Builds the Debian package from a build folder, installs the programs two ways into
# temporary roots (cmake --install into a prefix, and dpkg -x of the package) and runs the
# installed programs as a user would, from an unrelated folder with a fresh home: --help,
# make-rom of the installed demo project (the image must be the build tree's), and a first
# start of the editor, which must make its per-user working folder from the installed data.
#   usage: packaging/check_package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$tmp/package" >"$tmp/cpack.log" 2>&1) ||
  { cat "$tmp/cpack.log" >&2; fail "cpack -G DEB"; }
deb=$(ls "$tmp"/package/*.deb)
depends=$(dpkg-deb --field "$deb" Depends)
case "$depends" in *libqt6widgets6*) ;; *) fail "Depends lacks the Qt libraries: $depends" ;; esac
dpkg -x "$deb" "$tmp/deb"
cmake --install "$build" --prefix "$tmp/prefix" >/dev/null

# The reference: the build tree's program on a copy of the source data set.
cp -r "$src/data" "$tmp/data"
"$build/app/lift-lcd" make-rom "$tmp/data/demo.lcp" --workdir "$tmp/data" \
  --program-dir "$tmp/data" -o "$tmp/reference.bin" >/dev/null 2>&1 || fail "reference image"

for prefix in "$tmp/deb/usr" "$tmp/prefix"; do
  for f in bin/lift-lcd bin/lift-lcd-editor share/lift-lcd/demo.lcp \
    share/applications/lift-lcd-editor.desktop \
    share/icons/hicolor/48x48/apps/lift-lcd-editor.png \
    share/man/man1/lift-lcd.1.gz share/man/man1/lift-lcd-editor.1.gz; do
    [ -e "$prefix/$f" ] || fail "$prefix/$f is not installed"
  done
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/lift-lcd-editor.desktop"
  fi
  home=$(mktemp -d "$tmp/home.XXXX")
  elsewhere=$(mktemp -d "$tmp/elsewhere.XXXX")
  run() {
    (cd "$elsewhere" && env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" \
      LIFT_LCD_DEVICE_ROOT="$tmp/no-devices" QT_QPA_PLATFORM=offscreen "$@")
  }
  run "$prefix/bin/lift-lcd" --help | grep -q "make-rom" || fail "$prefix: lift-lcd --help"
  run "$prefix/bin/lift-lcd" make-rom "$prefix/share/lift-lcd/demo.lcp" -o out.bin \
    >"$tmp/make-rom.log" 2>&1 || { cat "$tmp/make-rom.log" >&2; fail "$prefix: make-rom"; }
  cmp "$elsewhere/out.bin" "$tmp/reference.bin" || fail "$prefix: the image differs"
  grep -q "first start" "$tmp/make-rom.log" || fail "$prefix: no word of the working folder"
  # The editor's first start finds the copy made and reads its GLB library there.
  # (A message box of a failed start-up would wait for a click: the time limit ends it.)
  run timeout 60 "$prefix/bin/lift-lcd-editor" --screenshots shot >"$tmp/editor.log" 2>&1 ||
    { cat "$tmp/editor.log" >&2; fail "$prefix: the editor did not start and end"; }
  [ -f "$elsewhere/shot-make.png" ] || fail "$prefix: the editor made no screenshot"
  grep -q "Working folder $home/.local/share/lift-lcd" "$tmp/editor.log" ||
    { cat "$tmp/editor.log" >&2; fail "$prefix: the editor did not use the working folder"; }
done
echo "package $(basename "$deb"): installed and run from $tmp/deb and $tmp/prefix"
