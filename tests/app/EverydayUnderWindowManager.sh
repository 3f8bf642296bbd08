#!/usr/bin/env bash
# The program as a user meets it on a desktop: a real X display with a window manager, the
# keyboard and pointer driven by xdotool. Alt+F4 on the converter brings the launcher back and
# on the launcher ends the process; a second start hands its files to the first and ends; a
# closed and reopened family shows its rows; a folder of MKV and FLV files handed over converts;
# the preview shows Pause and its time readout. Screenshots of each step go to the given folder.
#   EverydayUnderWindowManager.sh <folder of QorConverter> <screenshot folder>
# Run under tools/screenshots/under-window-manager on a virtual display.
set -uo pipefail
bin=$1
shots=$2
mkdir -p "$shots"
work=$(mktemp -d)
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
check() {  # check <description> <command...>
    local what=$1
    shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
# Waits up to 30 s for a command to succeed.
wait_for() {
    for _ in $(seq 300); do "$@" && return 0; sleep 0.1; done
    return 1
}
shot() { ffmpeg -v error -y -f x11grab -i "$DISPLAY" -frames:v 1 "$shots/$1.png"; }
visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
gone() { ! visible "$1"; }
running() { kill -0 "$pid" 2>/dev/null; }
ended() { ! running; }
window() { xdotool search --onlyvisible --name "$1" | head -1; }
# Clicks at a point of a window's client area.
click() {  # click <window name> <x> <y>
    local id
    id=$(window "$1")
    xdotool windowactivate --sync "$id" 2>/dev/null
    xdotool mousemove --window "$id" "$2" "$3" click 1
}
# Alt+F4 as the user presses it, once the window manager has made the window the active one
# (a press that comes before is the window manager's to ignore, so it is pressed again).
close_by_window_manager() {
    local id
    id=$(window "$1")
    for _ in 1 2 3 4 5; do
        xdotool windowactivate --sync "$id" 2>/dev/null
        sleep 0.3
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$id" ] || continue
        xdotool key --clearmodifiers alt+F4
        for _ in $(seq 30); do visible "$1" || return 0; sleep 0.1; done
    done
}
clip() {  # clip <path> <ffmpeg output options...>
    local path=$1
    shift
    ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25:duration=6 -f lavfi \
        -i sine=sample_rate=22050:duration=6 -shortest "$@" "$path"
}
launcher="^Qor Converter$"
converter="^iPod/PSP/3GP Converter$"

# A copy of the program installed for all users, so that what it keeps (the profile database,
# the kept lists, the stills) goes to the scratch home, never beside the built program.
program=$work/program
mkdir -p "$program"
cp "$bin"/QorConverter "$bin"/libkivoengine.so* "$bin"/KivoMp4.dll "$bin"/Gver.dll "$bin"/*.jpg \
    "$bin"/backblank.bmp "$program"/
touch "$program/installed-for-all-users"

mkdir -p "$work/clips" "$work/folder"
clip "$work/clips/first.mkv" -c:v mpeg4 -c:a libvorbis
clip "$work/clips/second.mp4" -c:v mpeg4 -c:a aac
clip "$work/folder/one.mkv" -c:v mpeg4 -c:a libvorbis
clip "$work/folder/two.flv" -c:v flv1 -c:a libmp3lame

# The first start opens the MP4 converter with one file.
"$program/QorConverter" --device MP4 "$work/clips/first.mkv" &
pid=$!
check "the converter opens" wait_for visible "$converter"
sleep 2
shot 01-converter-with-first-file

# A second start hands its file over and ends; the first window lists it.
check "a second start ends at once" timeout 20 "$program/QorConverter" --device MP4 \
    "$work/clips/second.mp4"
sleep 2
shot 02-second-start-added-its-file
check "the first program still runs" running

# Alt+F4 on the converter brings the launcher back and keeps the list.
close_by_window_manager "$converter"
check "Alt+F4 on the converter brings the launcher back" wait_for visible "$launcher"
check "the converter is closed" wait_for gone "$converter"
check "the process keeps running with its launcher" running
shot 03-launcher-after-alt-f4
check "the closed list is kept with both files" grep -q second.mp4 \
    "$HOME/.config/QorConverter/List-MP4.json"

# The family opened again shows its rows.
check "a start with the family hands over" timeout 20 "$program/QorConverter" --device MP4
check "the converter opens again" wait_for visible "$converter"
sleep 3
shot 04-reopened-family-shows-its-rows

# The preview: Play, then the button shows Pause and the readout runs.
click "$converter" 120 80          # the first row
click "$converter" 586 301         # Play
sleep 3
shot 05-preview-playing-pause-and-readout
click "$converter" 586 301         # Pause
sleep 1
shot 06-preview-paused
click "$converter" 527 319         # Stop

# A folder of MKV and FLV files dragged from another program and dropped on the list converts.
"$bin/qor_drag_source" "$work/folder" &
drag=$!
check "the drag source opens" wait_for visible "^Drag source$"
sleep 1
source_id=$(window "^Drag source$")
target_id=$(window "$converter")
xdotool windowactivate --sync "$source_id" 2>/dev/null
xdotool mousemove --window "$source_id" 80 60 mousedown 1
for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove --window "$target_id" $((60 * step)) $((30 * step))
    sleep 0.2
done
xdotool mousemove --window "$target_id" 200 250
sleep 0.5
xdotool mouseup 1
sleep 3
kill "$drag" 2>/dev/null
shot 07-folder-of-mkv-and-flv-dropped
click "$converter" 687 518         # Run
out=$HOME/KivoMp4/MP4
check "the folder's MKV converts" wait_for test -s "$out/one.MP4"
check "the folder's FLV converts" wait_for test -s "$out/two.MP4"
sleep 3
shot 08-job-finished

# Alt+F4 on the converter, then on the launcher, ends the process.
close_by_window_manager "$converter"
check "the launcher is back" wait_for visible "$launcher"
close_by_window_manager "$launcher"
check "Alt+F4 on the launcher ends the process" wait_for ended
pid=""
echo "$failures failed"
[ "$failures" -eq 0 ]
