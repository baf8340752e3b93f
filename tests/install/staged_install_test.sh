#!/usr/bin/env bash
# Installs the build into a staging folder and runs the staged lumbra-rip with an empty
# environment and a fresh home: it must find its modules from its own location and keep setup.ini
# in the user's configuration folder, even though its own folder is writable here.
# Usage: staged_install_test.sh BUILD_FOLDER IPC_NAMESPACE
# The namespace of named locks and shared memory is the one variable passed: it only keeps this
# test's drive slots apart from other test runs on the same machine.
set -euo pipefail
build=$(cd "$1" && pwd)
isolated=(env -i "LUMBRA_IPC_NAMESPACE=$2")
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
"${isolated[@]}" HOME="$home" "$bin/lumbra-rip" --demo --no-lookup --list >"$work/list.txt" ||
  fail "staged --demo --list failed"
grep -q '^DRIVE 0 ' "$work/list.txt" || fail "no drive listed: $(cat "$work/list.txt")"
grep -q '^TRACK 1 ' "$work/list.txt" || fail "no track listed: $(cat "$work/list.txt")"
[ -f "$home/.config/lumbra-cdripper/setup.ini" ] || fail "setup.ini not in ~/.config/lumbra-cdripper"
[ ! -e "$bin/setup.ini" ] || fail "setup.ini written beside the installed program"

# XDG_CONFIG_HOME given, and an MP3 rip through the installed encoder module.
config=$work/config
"${isolated[@]}" HOME="$home" XDG_CONFIG_HOME="$config" "$bin/lumbra-rip" --demo --no-lookup \
  --no-accuraterip --format mp3 --tracks 1 --out "$work/music" --yes >"$work/rip.txt" 2>&1 ||
  fail "staged MP3 rip failed: $(cat "$work/rip.txt")"
[ -f "$config/lumbra-cdripper/setup.ini" ] || fail "setup.ini not in \$XDG_CONFIG_HOME/lumbra-cdripper"
mp3=$(find "$work/music" -name '*.mp3')
[ -n "$mp3" ] || fail "no MP3 file written: $(cat "$work/rip.txt")"
head -c 3 "$mp3" | grep -q ID3 || fail "$mp3 does not start with an ID3 tag"
[ "$(stat -c %s "$mp3")" -gt 10000 ] || fail "$mp3 is too short"
[ ! -e "$bin/setup.ini" ] || fail "setup.ini written beside the installed program"

# The desktop's files are where desktops look for them, and pass the tools that check them.
share=$stage/usr/share
desktop=$share/applications/org.lumbra.cdripper.desktop
metainfo=$share/metainfo/org.lumbra.cdripper.metainfo.xml
for f in "$desktop" "$metainfo" "$share/icons/hicolor/scalable/apps/lumbra-cdripper.svg" \
  "$share/man/man1/lumbra-rip.1" "$share/man/man1/lumbra-cdripper.1"; do
  [ -f "$f" ] || fail "$f not installed"
done
for size in 16 32 48 256; do
  png=$share/icons/hicolor/${size}x${size}/apps/lumbra-cdripper.png
  file -b "$png" | grep -q "PNG image data, $size x $size" || fail "$png is not a $size-pixel PNG"
done
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx 'Exec=lumbra-cdripper %U' "$desktop" || fail "the desktop entry does not start lumbra-cdripper"
grep -qx 'MimeType=x-content/audio-cdda;' "$desktop" ||
  fail "the desktop entry is not offered for an inserted audio CD"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.txt" ||
  fail "appstreamcli validate: $(cat "$work/appstream.txt")"
version=$("$bin/lumbra-rip" --version | awk '{print $NF}')
grep -q "<release version=\"$version\"" "$metainfo" || fail "no release $version in the metainfo"
for page in lumbra-rip lumbra-cdripper; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$share/man/man1/$page.1" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man --warnings $page.1: $warnings"
  grep -q "$version" "$share/man/man1/$page.1" || fail "$page.1 does not name version $version"
done
# Every option the programs know is in their pages; the desktop program starts from the stage.
"$bin/lumbra-rip" --help >"$work/lumbra-rip.usage"
"${isolated[@]}" QT_QPA_PLATFORM=offscreen "$bin/lumbra-cdripper" --help >"$work/lumbra-cdripper.usage" ||
  fail "staged lumbra-cdripper --help failed"
gui_version=$("${isolated[@]}" QT_QPA_PLATFORM=offscreen "$bin/lumbra-cdripper" --version | awk '{print $NF}')
[ "$gui_version" = "$version" ] || fail "lumbra-cdripper --version says $gui_version, lumbra-rip $version"
for page in lumbra-rip lumbra-cdripper; do
  grep -q '\.config/lumbra-cdripper' "$work/$page.usage" || fail "$page --help does not say where setup.ini is"
done
for page in lumbra-rip lumbra-cdripper; do
  for option in $(grep -o -- '--[a-z-]*' "$work/$page.usage" | sort -u); do
    escaped=$(sed 's/-/\\-/g' <<<"$option")
    grep -qF -- "$escaped" "$share/man/man1/$page.1" || fail "$page.1 lacks $option"
  done
done
echo "staged install ok"
