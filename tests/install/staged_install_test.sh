#!/usr/bin/env bash
# Installs the build into a staging folder and runs the staged lumbra-rip with an empty
# environment and a fresh home: it must find its modules from its own location and keep setup.ini
# in the user's configuration folder, even though its own folder is writable here.
# Usage: staged_install_test.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d "$build/staged-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
stage=$work/stage

fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
bin=$stage/usr/bin
[ -x "$bin/lumbra-rip" ] || fail "lumbra-rip not installed"
[ -x "$bin/lumbra-cdripper" ] || fail "lumbra-cdripper not installed"
modules=$(find "$stage" -name liblumbra_virtualdrive.so -printf '%h\n')
case "$modules" in
  "$stage"/usr/lib/*/lumbra-cdripper) ;;
  *) fail "the virtual drive library is in '$modules', not a private library folder" ;;
esac
for m in liblame_enc.so libwmaudsdk.so; do [ -f "$modules/$m" ] || fail "$m not installed"; done
[ -z "$(find "$bin" -name '*.so')" ] || fail "libraries installed beside the programs"
[ -f "$stage/usr/share/lumbra-cdripper/help.html" ] || fail "help.html not installed"

# HOME alone: the configuration folder is ~/.config.
home=$work/home
mkdir "$home"
env -i HOME="$home" "$bin/lumbra-rip" --demo --no-lookup --list >"$work/list.txt" ||
  fail "staged --demo --list failed"
grep -q '^DRIVE 0 ' "$work/list.txt" || fail "no drive listed: $(cat "$work/list.txt")"
grep -q '^TRACK 1 ' "$work/list.txt" || fail "no track listed: $(cat "$work/list.txt")"
[ -f "$home/.config/lumbra-cdripper/setup.ini" ] || fail "setup.ini not in ~/.config/lumbra-cdripper"
[ ! -e "$bin/setup.ini" ] || fail "setup.ini written beside the installed program"

# XDG_CONFIG_HOME given, and an MP3 rip through the installed encoder module.
config=$work/config
env -i HOME="$home" XDG_CONFIG_HOME="$config" "$bin/lumbra-rip" --demo --no-lookup \
  --format mp3 --tracks 1 --out "$work/music" --yes >"$work/rip.txt" 2>&1 ||
  fail "staged MP3 rip failed: $(cat "$work/rip.txt")"
[ -f "$config/lumbra-cdripper/setup.ini" ] || fail "setup.ini not in \$XDG_CONFIG_HOME/lumbra-cdripper"
mp3=$(find "$work/music" -name '*.mp3')
[ -n "$mp3" ] || fail "no MP3 file written: $(cat "$work/rip.txt")"
head -c 3 "$mp3" | grep -q ID3 || fail "$mp3 does not start with an ID3 tag"
[ "$(stat -c %s "$mp3")" -gt 10000 ] || fail "$mp3 is too short"
[ ! -e "$bin/setup.ini" ] || fail "setup.ini written beside the installed program"
echo "staged install ok"
