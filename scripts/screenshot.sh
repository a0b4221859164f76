#!/usr/bin/env bash
# Takes docs/board.png: the board of a real run with groups in every state
# (waiting at 0:00, timing, stopped showing the final time and "重设",
# renumbered, hidden). Builds nothing: give it the built program; the
# screen grabber kelvo-xshot is taken from beside it.
#
#   scripts/screenshot.sh [PROGRAM] [OUTPUT.png]
#     PROGRAM  default build/kelvo-timer
#     OUTPUT   default docs/board.png
#
# Needs Xvfb and xdotool (make test-deps installs them). The program runs
# from a copy in a temporary directory, so no timer.ini is left anywhere.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
PROGRAM=${1:-$ROOT/build/kelvo-timer}
OUTPUT=${2:-$ROOT/docs/board.png}
KX_SHOT=$(dirname "$PROGRAM")/kelvo-xshot
# shellcheck source=../tests/e2e/xdrive.sh
. "$ROOT/tests/e2e/xdrive.sh"

die() { echo "screenshot.sh: $*" >&2; exit 1; }

[ -x "$PROGRAM" ] || die "no program at $PROGRAM (build it first: make build)"
[ -x "$KX_SHOT" ] || die "no kelvo-xshot beside the program at $KX_SHOT (build it first: make build)"
command -v Xvfb >/dev/null 2>&1 || die "Xvfb is not installed (make test-deps)"
command -v xdotool >/dev/null 2>&1 || die "xdotool is not installed (make test-deps)"

KX_WORK=$(mktemp -d "${TMPDIR:-/tmp}/kelvo-shot.XXXXXX")
cleanup() {
    kx_kill_app
    kx_stop_x
    rm -rf "$KX_WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP
mkdir -p "$KX_WORK/app"
cp "$PROGRAM" "$KX_WORK/app/kelvo-timer"

kx_start_x || die "no X server could be started"
kx_start_app "$KX_WORK/app/kelvo-timer"
kx_answer '选项' Return || die "the options dialog did not open"
kx_find_board || die "the board did not appear"

step() { "$@" || die "failed: $*"; }

start() {
    kx_click_button "$1"
    step kx_answer '提示' Return
}
stop() {
    kx_click_button "$1"
    step kx_answer '提示' Return
}
reset_to() {
    kx_click_button "$1"
    step kx_input '请输入新的组号' "$2"
}

# Ten groups, slots 0 to 9; a few through the context menu.
for n in 1 2 3 4 5 6 7 8 9 10; do
    case $n in
        2 | 6) step kx_add_by_menu "$n" 800 640 ;;
        *) step kx_add_by_key "$n" ;;
    esac
done

start 0 # group 1: stopped later, shows its final time and "重设"
start 1 # group 2: keeps timing
start 2 # group 3: stopped, then hidden with 0
start 3 # group 4: stopped, then renumbered 40
sleep 1
stop 2
reset_to 2 0
stop 3
reset_to 3 40
start 4 # group 5: keeps timing
sleep 2
stop 0
start 7 # group 8: started last
sleep 1.5

# Pointer off the board, then the board's rectangle only.
kx_move 0 0
sleep 0.3
mkdir -p "$(dirname "$OUTPUT")"
kx_shot -o "$OUTPUT" >/dev/null || die "could not grab the board"
echo "wrote $OUTPUT"

kx_menu 800 640 2 || die "关闭 from the context menu"
kx_answer '警告' Return || die "no close question"
kx_wait_app_exit 10 || die "the program did not end"
