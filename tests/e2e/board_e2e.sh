#!/usr/bin/env bash
# End-to-end test of kelvo-timer: the built program itself, on a private X
# server, used the way an operator uses it, with real keyboard and mouse
# events (xdotool). It looks only at what the operator sees and gets: the
# windows that open, the pixels on the screen, timer.ini on disk and the
# exit status.
#
#   board_e2e.sh PROGRAM KELVO-XSHOT
#
# Exit status: 0 passed, 1 failed, 77 skipped (no X server can be started).
set -euo pipefail

SKIP=77
PROGRAM=${1:?usage: board_e2e.sh PROGRAM KELVO-XSHOT}
KX_SHOT=${2:?usage: board_e2e.sh PROGRAM KELVO-XSHOT}
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=xdrive.sh
. "$HERE/xdrive.sh"

[ -x "$PROGRAM" ] || { echo "no program at $PROGRAM" >&2; exit 1; }
[ -x "$KX_SHOT" ] || { echo "no screenshot helper at $KX_SHOT" >&2; exit 1; }
if ! command -v Xvfb >/dev/null 2>&1; then
    echo "SKIP: Xvfb is not installed, so no X server can be started (make test-deps installs it)"
    exit $SKIP
fi
for tool in xdotool timeout awk; do
    command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is not installed (make test-deps)" >&2; exit 1; }
done

KX_WORK=$(mktemp -d "${TMPDIR:-/tmp}/kelvo-e2e.XXXXXX")
APPDIR="$KX_WORK/app"
INI="$APPDIR/timer.ini"
mkdir -p "$APPDIR"
# A copy of the program: timer.ini is written beside the executable, so
# this keeps it out of the build tree.
cp "$PROGRAM" "$APPDIR/kelvo-timer"

PASSED=0
KEEP=0
cleanup() {
    kx_kill_app
    kx_stop_x
    if [ "$KEEP" = 1 ]; then
        echo "kept for inspection: $KX_WORK" >&2
    else
        rm -rf "$KX_WORK"
    fi
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

fail() {
    echo "FAIL: $*" >&2
    KEEP=1
    if [ -n "${KX_DISPLAY:-}" ]; then
        kx_env "$KX_SHOT" -o "$KX_WORK/failure-screen.png" >/dev/null 2>&1 || true
        echo "screen at the failure: $KX_WORK/failure-screen.png" >&2
    fi
    if [ -f "$INI" ]; then
        echo "--- timer.ini ---" >&2
        cat "$INI" >&2
    fi
    if [ -s "$KX_WORK/program.log" ]; then
        echo "--- program output ---" >&2
        cat "$KX_WORK/program.log" >&2
    fi
    exit 1
}

T_BEGIN=$(kx_now_us)
ok() {
    PASSED=$((PASSED + 1))
    local t=$(($(kx_now_us) - T_BEGIN))
    printf 'ok - %s  [%d.%01ds]\n' "$*" $((t / 1000000)) $((t / 100000 % 10))
}

# expect WHAT ACTUAL EXPECTED
expect() {
    [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
    ok "$1"
}

# expect_more WHAT ACTUAL MINIMUM
expect_more() {
    (($2 > $3)) || fail "$1: got $2, expected more than $3"
}

# Runs a command until it succeeds, for at most the given seconds.
poll() {
    local timeout=$1
    shift
    local deadline=$(($(kx_now_us) + timeout * 1000000))
    until "$@"; do
        (($(kx_now_us) < deadline)) || return 1
        sleep 0.1
    done
}

# Whether timer.ini's [Timer] KEY is VALUE; whether a kelvo-xshot query
# on the board answers VALUE, or a number above MINIMUM.
ini_is() { [ "$(ini_value Timer "$1")" = "$2" ]; }
shot_is() { [ "$(kx_shot "$1")" = "$2" ]; }
shot_more() { local n; n=$(kx_shot "$1") && ((n > $2)); }

# The value of KEY in SECTION of timer.ini, or nothing.
ini_value() {
    [ -f "$INI" ] || return 0
    awk -v sec="$1" -v key="$2" '
        { sub(/\r$/, "") }
        /^[ \t]*\[/ { s = $0; sub(/^[ \t]*\[[ \t]*/, "", s); sub(/[ \t]*\].*$/, "", s); in_sec = (tolower(s) == tolower(sec)); next }
        in_sec {
            i = index($0, "="); if (i == 0) next
            k = substr($0, 1, i - 1); gsub(/^[ \t]+|[ \t]+$/, "", k)
            if (tolower(k) == tolower(key)) { v = substr($0, i + 1); gsub(/^[ \t]+|[ \t]+$/, "", v); print v; exit }
        }' "$INI"
}

# The lines of one section, in file order.
ini_section() {
    [ -f "$INI" ] || return 0
    awk -v sec="$1" '
        { sub(/\r$/, "") }
        /^[ \t]*\[/ { s = $0; sub(/^[ \t]*\[[ \t]*/, "", s); sub(/[ \t]*\].*$/, "", s); in_sec = (tolower(s) == tolower(sec)); next }
        in_sec && NF { print }' "$INI"
}

# How the board writes a count of seconds: m:ss.
mss() { printf '%d:%02d' $(($1 / 60)) $(($1 % 60)); }

# The value timer.ini stores for a colour given as rrggbb: 0x00BBGGRR.
stored_colour() { echo $(((16#${1:4:2} << 16) | (16#${1:2:2} << 8) | 16#${1:0:2})); }

# --- where things are on the board ---------------------------------------

# Inside a box: the timer label (at 1,1, 224 x 120) and the strip below it
# that holds the group number (left of the button).
timer_area() { echo "$(($(kx_slot_x "$1") + 1)),$(($(kx_slot_y "$1") + 1)),224,120"; }
number_area() { echo "$(($(kx_slot_x "$1") + 2)),$(($(kx_slot_y "$1") + 122)),164,56"; }
slot_area() { echo "$(kx_slot_x "$1"),$(kx_slot_y "$1"),$KX_BOX_W,$KX_BOX_H"; }

# Colours with the defaults: the button face of the classic palette is the
# board background and the box background; white and dark grey are the
# box's raised edge.
FACE=d4d0c8
EDGE_LIGHT=ffffff
EDGE_DARK=6a6864

# The state of the box in slot k as seen on the screen, one word per
# query: "<timer text pixels in colour A> <in colour B> <number pixels>".
count_in_slot() {
    kx_shot "count:$(timer_area "$1"):$2" "count:$(timer_area "$1"):$3" "count:$(number_area "$1"):$4" | tr '\n' ' '
}

# Checks that a box sits exactly in each given slot: raised edge at its
# corners, the grid lines right outside it on all four sides, a group
# number in blue. One grab for all.
check_boxes() {
    local k x y q=() got
    for k in "$@"; do
        x=$(kx_slot_x "$k")
        y=$(kx_slot_y "$k")
        q+=("$x,$y" "$((x + 225)),$((y + 179))" "$((x - 1)),$((y + 90))" "$((x + 226)),$((y + 90))"
            "$((x + 100)),$((y - 1))" "$((x + 100)),$((y + 180))" "count:$(number_area "$k"):0000ff")
    done
    mapfile -t got < <(kx_shot "${q[@]}")
    local i=0
    for k in "$@"; do
        expect "slot $k: a box with its raised edge, framed by the grid lines" "${got[*]:i:6}" \
            "$EDGE_LIGHT $EDGE_DARK 00ff00 00ff00 00ff00 00ff00"
        expect_more "slot $k: group number in blue" "${got[i + 6]}" 50
        i=$((i + 7))
    done
}

# Checks that each given slot's timer shows 0:00 in black like slot 0's.
check_zero_timers() {
    local k q=() got
    for k in "$@"; do
        q+=("count:$(timer_area "$k"):000000" "count:$(timer_area "$k"):008000"
            "diff:$(timer_area "$k"):$(($(kx_slot_x 0) + 1)),$(($(kx_slot_y 0) + 1))")
    done
    mapfile -t got < <(kx_shot "${q[@]}")
    local i=0
    for k in "$@"; do
        ((got[i] > 100 && got[i + 1] == 0)) ||
            fail "slot $k: the timer should show black text (black ${got[i]}, green ${got[i + 1]})"
        expect "slot $k: the timer shows 0:00 in black like the first box" "${got[i + 2]}" 0
        i=$((i + 3))
    done
}

# Checks what the timer of slot k shows: "waiting" (black text, no
# green) or "running" (green text, no black).
timer_shows() {
    local k=$1 state=$2 black green
    read -r black green _ <<<"$(count_in_slot "$k" 000000 008000 0000ff)"
    case $state in
        waiting) ((black > 100 && green == 0)) ;;
        running) ((green > 100 && black == 0)) ;;
    esac
}

expect_timer() {
    poll 3 timer_shows "$1" "$2" || fail "slot $1: the timer does not show the $2 colour ($(count_in_slot "$1" 000000 008000 0000ff))"
    ok "slot $1: timer text in the $2 colour"
}

# Saves the board as it looks now, to compare with later: how many pixels
# of slot k's timer differ clearly from that grab.
save_board() { kx_shot -o "$KX_WORK/$1.png" >/dev/null; }
timer_unlike() { kx_shot "like:$(timer_area "$1"):$KX_WORK/$2.png"; }

# --- the operator's moves ----------------------------------------------------

# Presses the box's button ("开始"), answers Yes; sets STARTED_AT to the
# moment the answer was given.
start_timer() {
    kx_click_button "$1"
    kx_press_in '提示' Return || fail "slot $1: no start question"
    STARTED_AT=$(kx_now_us)
    kx_wait_no_window '提示' || fail "slot $1: the start question stays open"
}

# Presses the box's button ("停止") and answers Yes at the first half-second
# point at least MIN seconds after STARTED_AT that can still be reached, so
# the whole seconds shown are exact however fast the machine is. Sets
# STOPPED_SECS to the seconds the timer must show.
stop_timer_exactly() {
    local k=$1 started=$2 n=$3 w
    kx_click_button "$k"
    w=$(kx_wait_window '提示') || fail "slot $k: no stop question"
    kx_focus "$w"
    while ((started + n * 1000000 + 500000 < $(kx_now_us) + 150000)); do
        n=$((n + 1))
    done
    kx_sleep_until_us $((started + n * 1000000 + 500000))
    xdotool key Return
    kx_wait_no_window '提示' || fail "slot $k: the stop question stays open"
    STOPPED_SECS=$n
}

# Right-click point for the context menu: an empty cell of the last row.
MENU_X=800
MENU_Y=640

add_group() {
    local how=$1 number=$2 slot=$3
    if [ "$how" = key ]; then
        kx_add_by_key "$number" || fail "adding group $number with Ctrl+N"
    else
        kx_add_by_menu "$number" "$MENU_X" "$MENU_Y" || fail "adding group $number with 新增"
    fi
    poll 3 box_appeared "$slot" || fail "group $number: no box appeared in slot $slot"
    ok "group $number added ($how) in slot $slot"
}

box_appeared() { [ "$(kx_shot "$(kx_slot_x "$1"),$(kx_slot_y "$1")")" = "$EDGE_LIGHT" ]; }

# =============================================================================
# Run 1: a fresh program directory, default colours.
# =============================================================================
kx_start_x || { echo "SKIP: no X server could be started"; exit $SKIP; }
echo "# X server on display $KX_DISPLAY"

kx_start_app "$APPDIR/kelvo-timer"
kx_press_in '选项' Return || fail "the options dialog did not open"
kx_wait_no_window '选项' || fail "Enter did not confirm the options dialog"
ok "options dialog confirmed with Enter"

expect "timer.ini [SYS] after confirming the defaults" "$(ini_section SYS | tr '\n' ' ')" \
    "BackColor=-16777201 LineColor=65280 IngColor=32768 NoColor=16711680 WaitColor=0 PnlColor=-16777201 "

kx_find_board || fail "the board did not appear"
expect "board size" "${KX_BW}x${KX_BH}" "${KX_BOARD_W}x${KX_BOARD_H}"
cx=$(((KX_SCREEN_W - KX_BOARD_W) / 2))
cy=$(((KX_SCREEN_H - KX_BOARD_H) / 2))
((KX_BX >= cx - 1 && KX_BX <= cx + 1 && KX_BY >= cy - 1 && KX_BY <= cy + 1)) ||
    fail "the board is at $KX_BX,$KX_BY, not centred near $cx,$cy"
ok "board centred on the screen at $KX_BX,$KX_BY"

# The empty board: a 6 x 4 grid of 2-pixel lines in the grid colour on the
# board background. Across row y=100 and down column x=100 exactly the
# line pixels are green.
mapfile -t px < <(kx_shot 0,0 1,1 228,100 229,100 1140,300 1141,300 1368,400 1369,400 \
    100,182 100,183 600,546 600,547 700,727 700,728 1370,400 1371,400 100,100 1300,700 \
    "count:0,100,1372,1:00ff00" "count:100,0,1,729:00ff00" "count:0,0,1372,729:$EDGE_LIGHT")
expect "grid lines at x=0,228,1140,1368 and y=182,546,727" "${px[*]:0:14}" \
    "$(printf '00ff00 %.0s' {1..14} | sed 's/ $//')"
expect "board background beside the right edge and inside the cells" "${px[*]:14:4}" "$FACE $FACE $FACE $FACE"
expect "green pixels across row y=100 (7 vertical lines)" "${px[18]}" 14
expect "green pixels down column x=100 (5 horizontal lines)" "${px[19]}" 10
expect "no box on the empty board" "${px[20]}" 0

# Groups 7 to 13 in slots 0 to 6, added by either way; slot 6 starts the
# second row.
add_group key 7 0
save_board zero
read -r _ _ BLUE_7 <<<"$(count_in_slot 0 000000 008000 0000ff)"
add_group menu 8 1
add_group key 9 2
add_group menu 10 3
add_group key 11 4
add_group key 12 5
add_group menu 13 6

check_boxes 0 1 2 3 4 5 6
check_zero_timers 1 2 3 4 5 6
mapfile -t px < <(kx_shot "count:$(slot_area 7):$FACE" "10,170" "count:$(slot_area 0):$FACE")
expect "slot 7 is still empty board" "${px[0]}" $((KX_BOX_W * KX_BOX_H))
expect "box background" "${px[1]}" "$FACE"
expect_more "box 7 is mostly box background" "${px[2]}" 30000

# Two groups timing at once: 7 and 8.
start_timer 0
T7=$STARTED_AT
start_timer 1
T8=$STARTED_AT
expect_timer 0 running
expect_timer 1 running
expect_timer 2 waiting

stop_timer_exactly 0 "$T7" 3
S7=$STOPPED_SECS
poll 3 ini_is 7 "$(mss "$S7")" || true
expect "timer.ini [Timer] 7 after stopping group 7 at ${S7}.5 s" "$(ini_value Timer 7)" "$(mss "$S7")"
expect "timer.ini [Timer] has nothing for group 8, still timing" "$(ini_value Timer 8)" ""
expect_timer 0 waiting
expect_timer 1 running
save_board stopped7
SAVED_AT=$(kx_now_us)
expect_more "slot 0: the timer no longer shows 0:00" "$(timer_unlike 0 zero)" 200

stop_timer_exactly 1 "$T8" 2
S8=$STOPPED_SECS
poll 3 ini_is 8 "$(mss "$S8")" || true
expect "timer.ini [Timer] 8 after stopping group 8 at ${S8}.5 s" "$(ini_value Timer 8)" "$(mss "$S8")"
expect "timer.ini [Timer] 7 is kept" "$(ini_value Timer 7)" "$(mss "$S7")"
expect_timer 1 waiting
# Over a second later group 7 still shows the time it stopped at.
kx_sleep_until_us $((SAVED_AT + 1200000))
expect "slot 0: the stopped time stays on the screen" "$(timer_unlike 0 stopped7)" 0

# "重设" on group 7: renumber it 70. The box keeps its slot, shows 0:00
# again and the wider number.
kx_click_button 0
kx_input '请输入新的组号' 70 || fail "no renumber dialog for slot 0"
poll 3 shot_is "like:$(timer_area 0):$KX_WORK/zero.png" 0 || fail "slot 0 does not show 0:00 after renumbering"
ok "slot 0 shows 0:00 again after renumbering"
check_boxes 0
read -r _ _ BLUE_70 <<<"$(count_in_slot 0 000000 008000 0000ff)"
expect_more "slot 0: the number 70 is wider than 7 ($BLUE_70 > $BLUE_7 blue pixels)" "$BLUE_70" "$BLUE_7"
ok "slot 0 shows the new number"

# The renumbered box times again under its new number.
start_timer 0
expect_timer 0 running
stop_timer_exactly 0 "$STARTED_AT" 1
S70=$STOPPED_SECS
poll 3 ini_is 70 "$(mss "$S70")" || true
expect "timer.ini [Timer] 70 after stopping renumbered group 70" "$(ini_value Timer 70)" "$(mss "$S70")"
expect "timer.ini [Timer] 7 is untouched by group 70" "$(ini_value Timer 7)" "$(mss "$S7")"

# "重设" on group 8 with 0: the box is gone, its slot shows the board.
kx_click_button 1
kx_input '请输入新的组号' 0 || fail "no renumber dialog for slot 1"
poll 3 shot_is "count:$(slot_area 1):$FACE" $((KX_BOX_W * KX_BOX_H)) ||
    fail "slot 1 still shows something after hiding group 8"
ok "slot 1 shows only the board background after hiding group 8"
mapfile -t px < <(kx_shot 229,90 457,90 300,182 300,183 300,0)
expect "the grid lines around the hidden slot" "${px[*]}" "00ff00 00ff00 00ff00 00ff00 00ff00"
check_boxes 2
# Where its button was there is only the board now: nothing answers.
kx_click_button 1
sleep 0.8
expect "a click where the hidden button was opens nothing" "$(kx_windows '^提示$')" ""

# The hidden box keeps its slot taken: the next group goes to slot 7.
add_group key 14 7
check_boxes 7
expect "slot 1 stays empty" "$(kx_shot "count:$(slot_area 1):$FACE")" $((KX_BOX_W * KX_BOX_H))
kx_shot -o "$KX_WORK/board-run1.png" >/dev/null

# 关闭: No keeps the board; Yes ends the program with status 0.
kx_menu "$MENU_X" "$MENU_Y" 2 || fail "关闭 from the context menu"
kx_answer '警告' Escape || fail "no close question after 关闭"
sleep 0.3
kx_app_alive || fail "the program ended after answering No"
[ -n "$(kx_windows "^$KX_TITLE\$")" ] || fail "the board went away after answering No"
ok "answering No to the close question keeps the board"
kx_menu "$MENU_X" "$MENU_Y" 2 || fail "关闭 from the context menu"
kx_press_in '警告' Return || fail "no close question after 关闭"
kx_wait_app_exit 10 || fail "the program did not end after Yes on the close question"
expect "exit status after Yes on the close question" "$KX_APP_RC" 0

expect "timer.ini [Timer] after the run" "$(ini_section Timer | sort | tr '\n' ' ')" \
    "$(printf '%s\n' "70=$(mss "$S70")" "7=$(mss "$S7")" "8=$(mss "$S8")" | sort | tr '\n' ' ')"

# =============================================================================
# Run 2: the same directory with colours of our own in timer.ini. The
# options dialog shows them, 确定 (clicked) keeps them, and the board uses
# them; the results of run 1 are still in the file.
# =============================================================================
BACK=204060 LINE=ff8000 PNL=e0e0a0 NUM=800080 ING=0000a0 WAIT=c00000
TIMER_LINES=$(ini_section Timer)
{
    echo "[SYS]"
    echo "BackColor=$(stored_colour $BACK)"
    echo "LineColor=$(stored_colour $LINE)"
    echo "IngColor=$(stored_colour $ING)"
    echo "NoColor=$(stored_colour $NUM)"
    echo "WaitColor=$(stored_colour $WAIT)"
    echo "PnlColor=$(stored_colour $PNL)"
    echo "[Timer]"
    echo "$TIMER_LINES"
} >"$INI"
SYS_BEFORE=$(ini_section SYS)

kx_start_app "$APPDIR/kelvo-timer"
w=$(kx_wait_window '选项') || fail "the options dialog did not open (run 2)"
eval "$(xdotool getwindowgeometry --shell "$w" | grep -E '^(X|Y)=[0-9]+$')"
kx_move $((X + 123 + 37)) $((Y + 136 + 12))
xdotool click 1
kx_wait_no_window '选项' || fail "clicking 确定 did not close the options dialog"
ok "options dialog confirmed by clicking 确定"
expect "timer.ini [SYS] keeps the colours shown" "$(ini_section SYS)" "$SYS_BEFORE"
expect "timer.ini [Timer] keeps the results of run 1" "$(ini_section Timer)" "$TIMER_LINES"

kx_find_board || fail "the board did not appear (run 2)"
add_group key 5 0
mapfile -t px < <(kx_shot 228,100 100,182 1369,400 100,728 600,300 1370,400 "$((2 + 10)),$((2 + 170))" \
    "count:$(timer_area 0):$WAIT" "count:$(number_area 0):$NUM")
expect "grid lines in the chosen colour" "${px[*]:0:4}" "$LINE $LINE $LINE $LINE"
expect "board background in the chosen colour" "${px[*]:4:2}" "$BACK $BACK"
expect "box background in the chosen colour" "${px[6]}" "$PNL"
expect_more "timer text in the chosen waiting colour" "${px[7]}" 100
expect_more "group number in the chosen colour" "${px[8]}" 50
start_timer 0
poll 3 shot_more "count:$(timer_area 0):$ING" 100 ||
    fail "the running timer does not use the chosen timing colour"
ok "running timer text in the chosen timing colour"

kx_menu "$MENU_X" "$MENU_Y" 2 || fail "关闭 from the context menu (run 2)"
kx_press_in '警告' Return || fail "no close question after 关闭 (run 2)"
kx_wait_app_exit 10 || fail "the program did not end after Yes on the close question (run 2)"
expect "exit status after Yes on the close question (run 2)" "$KX_APP_RC" 0
expect "group 5 never stopped: nothing recorded for it" "$(ini_value Timer 5)" ""

echo "$PASSED passed, 0 failed"
