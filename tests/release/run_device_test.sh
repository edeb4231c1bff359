#!/usr/bin/env bash
# tools/run --device: a path that is no character device is refused with a
# clear message before anything is built or started; a pseudo-terminal with
# the Linux stand-in on it stands in for a serial adapter, and the scripted
# run (no display) talks to it as COM1: Open, Read, Right, RST.
#
# usage: run_device_test.sh SOURCE_DIR STANDIN
set -uo pipefail
source=$1 standin=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/run-device.XXXXXX")
standin_pid=""
cleanup() {
  [ -n "$standin_pid" ] && kill "$standin_pid" 2>/dev/null && wait "$standin_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for path in /etc/hostname /no/such/device "$work"; do
  if out=$("$source/tools/run" --device "$path" 2>&1); then
    fail "tools/run --device $path was accepted"
  elif ! grep -q "$path is not a character device" <<< "$out"; then
    fail "tools/run --device $path: unclear message: $out"
  fi
done

"$standin" --log "$work/standin.log" > "$work/standin.out" 2>&1 &
standin_pid=$!
for _ in $(seq 100); do [ -s "$work/standin.out" ] && break; sleep 0.05; done
tty=$(head -n1 "$work/standin.out")
[ -c "$tty" ] || { fail "the stand-in gave no pseudo-terminal: $tty"; exit 1; }

if ! env -u DISPLAY "$source/tools/run" --device "$tty" "$work/shot.png" > "$work/run.out" 2>&1; then
  fail "tools/run --device $tty failed:"; cat "$work/run.out"
fi
[ -s "$work/shot.png" ] || fail "tools/run --device $tty saved no screenshot"
received=$(sed -n 's/^rx //p' "$work/standin.log" | tr -d ' \n')
# "6+3+9+" (Read), then "x" (Right) and "8+" (RST)
case "$received" in
  *362b332b392b*78*382b*) ;;
  *) fail "the device did not get Read, Right and RST from the program: $received" ;;
esac
[ "$failures" = 0 ] && echo "all checks passed"
exit $((failures > 0))
