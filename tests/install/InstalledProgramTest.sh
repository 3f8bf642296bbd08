#!/usr/bin/env bash
# InstalledProgramTest.sh <cmake> <build folder> <source folder> <ffmpeg> <desktop id>
set -euo pipefail
cmake=$1 build=$2 source=$3 ffmpeg=$4 id=$5

scratch=$(mktemp -d)
program_pid=
cleanup() {
    if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
        kill "$program_pid"
        wait "$program_pid" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "ok: $*"; }

prefix=$scratch/prefix
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
lib=$prefix/lib/qor-converter

# The layout: everything the program needs beside it, a link in bin/, the desktop's files.
for f in QorConverter libkivoengine.so KivoMp4.dll Gver.dll 3GP.jpg PSP.jpg IPOD.jpg PDA.jpg \
         MP4.jpg backblank.bmp installed-for-all-users; do
    [ -f "$lib/$f" ] || fail "$lib/$f is missing"
done
[ -L "$prefix/bin/QorConverter" ] || fail "bin/QorConverter is not a link"
[ "$(readlink -f "$prefix/bin/QorConverter")" = "$(readlink -f "$lib/QorConverter")" ] ||
    fail "bin/QorConverter does not lead to the installed program"
cmp -s "$lib/KivoMp4.dll" "$source/resources/KivoMp4.dll" || fail "the installed catalog is not the shipped one"
# The command-line converter: linked into bin/, its manual page in man1, and it runs from there.
[ "$(readlink -f "$prefix/bin/qor-convert")" = "$(readlink -f "$lib/qor-convert")" ] ||
    fail "bin/qor-convert does not lead to the installed command-line converter"
[ -f "$prefix/share/man/man1/qor-convert.1" ] || fail "no manual page for qor-convert"
grep -q "^qor-convert " <<<"$("$prefix/bin/qor-convert" --version)" ||
    fail "the installed qor-convert does not run"
# The tools' whole output is read before it is searched: grep -q leaving a pipe early would make
# the writer fail under pipefail.
grep -qF "$lib/libkivoengine.so" <<<"$(ldd "$lib/QorConverter")" || fail "the program does not load the engine beside it"
pass "layout under lib/qor-converter and bin/"

for size in 16 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
    grep -q "PNG image data, $size x $size" <<<"$(file "$icon")" || fail "$icon is not a $size pixel PNG"
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/$id.svg" || fail "no scalable icon"
pass "icons at 16 to 256 pixels and scalable"

desktop=$prefix/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
grep -qx 'Exec=QorConverter %F' "$desktop" || fail "desktop entry does not open the given files"
for family in 3GP PSP IPOD PDA MP4; do
    grep -qx "Exec=QorConverter --device $family %F" "$desktop" || fail "no action for $family"
done
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null ||
    fail "AppStream description does not validate"
pass "desktop entry and AppStream description validate"

# The installed program run headless as a menu action would run it: the clip is probed by the
# engine and its still lands in the user's cache folder; the user's catalog is a copy.
home=$scratch/home
mkdir -p "$home"
clip=$scratch/clips/sample.avi
mkdir -p "$(dirname "$clip")"
"$ffmpeg" -v error -y -f lavfi -i testsrc=size=160x120:rate=10:duration=2 -c:v mpeg4 "$clip"
env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u DBUS_SESSION_BUS_ADDRESS -u DISPLAY \
    HOME="$home" QT_QPA_PLATFORM=offscreen "$prefix/bin/QorConverter" --device MP4 "$clip" \
    >"$scratch/program.log" 2>&1 &
program_pid=$!
# The still is named after the clip and a hash of its path.
stills=$home/.cache/QorConverter/shotpic
still=
for _ in $(seq 1 600); do
    still=$(find "$stills" -maxdepth 1 -name 'sample.avi-*.jpg' 2>/dev/null | head -n 1 || true)
    [ -n "$still" ] && [ -f "$still" ] && break
    kill -0 "$program_pid" 2>/dev/null || { cat "$scratch/program.log" >&2; fail "the program ended"; }
    sleep 0.1
done
[ -n "$still" ] && [ -f "$still" ] || { cat "$scratch/program.log" >&2; fail "no still in the user's cache folder"; }
grep -q 'JPEG image data' <<<"$(file "$still")" || fail "the still is not a JPEG"
# The user's copy of the catalog holds the profiles and what the add wrote: its folder.
copy=$home/.config/QorConverter/KivoMp4.dll
for _ in $(seq 1 100); do grep -q '^LastAddFolder=' "$copy" 2>/dev/null && break; sleep 0.1; done
grep -q '^\[MP4\]' "$copy" || fail "no copy of the catalog in the user's configuration folder"
grep -q "^LastAddFolder=$scratch/clips/" "$copy" || fail "the add did not write into the user's copy"
[ -d "$home/KivoMp4/MP4" ] || fail "the MP4 output folder was not made"
[ ! -e "$lib/shotpic" ] || fail "stills were written beside the installed program"
cmp -s "$lib/KivoMp4.dll" "$source/resources/KivoMp4.dll" || fail "the installed catalog changed"
pass "installed program runs headless: engine, data, per-user catalog and stills"
