#!/usr/bin/env bash
# driver_test.sh DRIVER FIXTURE WORKDIR: works the fixture window with the UI
# driver in one script run and checks each answer. The fixture is started in
# the background and, if still there at the end, ended by its own id.
set -uo pipefail
driver=$1 fixture=$2 work=$3
. "$(dirname "$0")/../../tools/wine-env"
mkdir -p "$work"

"$WINE" "$fixture" 2>/dev/null &
fixture_pid=$!
trap 'kill "$fixture_pid" 2>/dev/null' EXIT

output=$("$WINE" "$driver" script 2>&1 <<SCRIPT
wait-window ZELTAN 15000
window
children
get-text #0
set-text 11 "1\x32"
get-text 11
set-text 11 ""
type 11 a5-7
combo-items #2
click 1
enabled 5
enabled 11
check-state 9
icon-match 9 $fixture SND_OFF SND_ON
pixel 9 16 13
click 9
check-state 9
icon-match 9 $fixture SND_OFF SND_ON
icon-match button:6 $fixture L_ON L_OFF R_OFF
capture window $work/window.bmp
click-async button:1
msgbox 5000
msgbox-ok
msgbox 0
close
wait-gone 5000
SCRIPT
)
driver_status=$?

failures=0
# expect "WHAT IS EXPECTED" PATTERN: an extended regular expression that some
# output line must match.
expect() {
    if ! grep -Eq -- "$2" <<<"$output"; then
        echo "FAIL: $1 (no line matches: $2)"
        failures=$((failures + 1))
    fi
}

expect "the window is found once visible" '^window hwnd=0x[0-9a-f]+ pid=[0-9]+$'
expect "the window's class, title bytes, style and rectangle are read" \
    '^window .*class=ZELTAN title="Тест" title_hex=d2e5f1f2 style=0x14c80000 .*rect=50,60,400,300 .*desktop=0,0,1024,768'
expect "children come in creation order with id, style and client-relative rectangle" \
    '^child index=1 .*class=Edit text="0" text_hex=30 id=11 style=0x50002080 exstyle=0x00000000 rect=10,40,35,20 enabled=1 visible=1$'
expect "a button reports its check state and that it shows an icon" \
    '^child index=3 .*class=Button text="Звук" text_hex=c7e2f3ea id=9 style=0x50001043 .* check=0 icon=1$'
expect "a combo box reports its dropped-down rectangle" '^child index=2 .*class=ComboBox .*dropped=10,70,100,'
expect "a Windows-1251 byte outside Cyrillic is kept" '^child index=5 .*text="<—" text_hex=3c97 '
expect "every child is listed" '^children count=8$'
expect "a child is addressed by z-order index" '^text text="Кнопка" text_hex=caedeeefeae0$'
expect "set-text takes \\xHH escapes and reads the text back" '^text text="12" text_hex=3132$'
expect "a number field refuses a letter and a minus and takes digits" '^text text="57" text_hex=3537$'
expect "combo entries come in list order" '^item index=1 text="19200" text_hex=3139323030$'
expect "the combo's count, selection and shown text are read" '^combo count=2 selected=1 text="19200"'
expect "an id shared by two children is refused with a way out" '^error click: 2 children have id 1; use CLASS:ID or #INDEX$'
expect "a disabled button reads as disabled" '^enabled value=0$'
expect "an enabled field reads as enabled" '^enabled value=1$'
expect "the toggle starts unchecked" '^check value=0$'
expect "the toggle is checked after a click" '^check value=1$'
expect "the unchecked toggle shows SND_OFF" '^icon-match name=SND_OFF '
expect "the checked toggle shows SND_ON" '^icon-match name=SND_ON '
expect "the arrow button shows L_OFF, not its look-alikes" '^icon-match name=L_OFF x=[0-9]+ y=[0-9]+$'
expect "pixels are read from the screen: the badge's red on the toggle" '^pixel x=16 y=13 rgb=ff0000$'
expect "the window is captured at its size" "^capture file=.*window.bmp size=400,300$"
expect "the message box's OK button is listed" '^button id=1 '
expect "the message box's caption, text and warning icon are read" \
    '^msgbox hwnd=0x[0-9a-f]+ caption="Заголовок" caption_hex=c7e0e3eeebeee2eeea text="Текст" text_hex=d2e5eaf1f2 icon=warning buttons=1$'
expect "no message box is left after OK" '^error msgbox: no message box within 0 ms$'
errors=$(grep -c '^error' <<<"$output")
[ "$errors" -eq 2 ] || { echo "FAIL: exactly the two intended commands fail (saw $errors)"; failures=$((failures + 1)); }
[ "$driver_status" -eq 1 ] || { echo "FAIL: a script with a failed command exits 1 (got $driver_status)"; failures=$((failures + 1)); }
[ "$(head -c 2 "$work/window.bmp")" = BM ] || { echo "FAIL: the capture is a BMP file"; failures=$((failures + 1)); }

# The window closed: the fixture ends by itself with exit code 0.
for _ in $(seq 50); do kill -0 "$fixture_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$fixture_pid" 2>/dev/null; then
    echo "FAIL: the fixture is still running after close"
    failures=$((failures + 1))
else
    wait "$fixture_pid"
    fixture_status=$?
    [ "$fixture_status" -eq 0 ] || { echo "FAIL: fixture exit code $fixture_status"; failures=$((failures + 1)); }
fi

"$WINE" "$driver" --help | grep -q '^  wait-window CLASS TIMEOUT_MS' || { echo "FAIL: --help lists the commands"; failures=$((failures + 1)); }
"$WINE" "$driver" get-text 11 >/dev/null 2>&1
[ $? -eq 1 ] || { echo "FAIL: one command without the window exits 1"; failures=$((failures + 1)); }

if [ "$failures" -ne 0 ]; then
    echo "--- driver output:"
    echo "$output"
    exit 1
fi
echo "all driver checks passed"
