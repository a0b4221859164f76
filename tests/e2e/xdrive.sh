# Shared by the end-to-end test and scripts/screenshot.sh: a private X
# server, the program started from a copy of its executable, and the few
# moves a user makes on the board, all as real X input through xdotool.
# Source it from bash; every function returns non-zero (with a message on
# stderr) when what it waited for did not happen in time.
#
# Globals it sets: KX_DISPLAY, KX_XVFB_PID, KX_APP_PID, KX_BOARD (window id),
# KX_BX / KX_BY (the board's top-left corner on the screen).
# Globals it reads: KX_WORK (a private directory), KX_SHOT (kelvo-xshot).

KX_SCREEN_W=1600
KX_SCREEN_H=900
KX_BOARD_W=1372
KX_BOARD_H=729
KX_BOX_W=226
KX_BOX_H=180
KX_TITLE='Kelvo并发计时器'

kx_log() { printf '[%s] %s\n' "$(date +%H:%M:%S.%N | cut -c1-12)" "$*" >&2; }

# Microseconds since the epoch, from the shell itself (no process started).
kx_now_us() { local t=${EPOCHREALTIME//[!0-9]/}; echo $((10#$t)); }

# Sleeps until the given kx_now_us() moment (returns at once if it passed).
kx_sleep_until_us() {
    local left=$(($1 - $(kx_now_us)))
    ((left > 0)) || return 0
    sleep "$(printf '%d.%06d' $((left / 1000000)) $((left % 1000000)))"
}

# Starts Xvfb on a free display number (the server picks it and reports it
# once it is ready to accept clients). Returns 1 if no server came up.
kx_start_x() {
    command -v Xvfb >/dev/null 2>&1 || { echo "Xvfb is not installed" >&2; return 1; }
    mkdir -p -m 700 "$KX_WORK/runtime"
    local fdfile="$KX_WORK/xvfb.display"
    : >"$fdfile"
    Xvfb -displayfd 3 -screen 0 "${KX_SCREEN_W}x${KX_SCREEN_H}x24" -nolisten tcp -noreset \
        3>"$fdfile" >"$KX_WORK/xvfb.log" 2>&1 &
    KX_XVFB_PID=$!
    local i
    for ((i = 0; i < 100; i++)); do
        if grep -q '^[0-9][0-9]*$' "$fdfile" 2>/dev/null; then
            KX_DISPLAY=":$(head -n1 "$fdfile")"
            export DISPLAY=$KX_DISPLAY
            # What the program and the helper run with: this display, Qt's
            # X11 back end, nothing of the desktop this was started from.
            KX_ENV=(-u WAYLAND_DISPLAY -u QT_QPA_PLATFORMTHEME -u QT_STYLE_OVERRIDE -u QT_SCALE_FACTOR
                DISPLAY="$KX_DISPLAY" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$KX_WORK/runtime"
                QT_ACCESSIBILITY=0 NO_AT_BRIDGE=1)
            return 0
        fi
        kill -0 "$KX_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    echo "Xvfb did not start:" >&2
    cat "$KX_WORK/xvfb.log" >&2
    kx_stop_x
    return 1
}

kx_stop_x() {
    if [ -n "${KX_XVFB_PID:-}" ]; then
        kill "$KX_XVFB_PID" 2>/dev/null || true
        wait "$KX_XVFB_PID" 2>/dev/null || true
        KX_XVFB_PID=
    fi
}

# Runs a command in the environment of the private display.
kx_env() { env "${KX_ENV[@]}" "$@"; }

# Starts the program at the given path (a copy in a private directory: the
# settings file goes beside it). Its output goes to $KX_WORK/program.log.
# env replaces itself with the program, so KX_APP_PID is the program's own
# process id.
kx_start_app() {
    env "${KX_ENV[@]}" "$1" >"$KX_WORK/program.log" 2>&1 &
    KX_APP_PID=$!
}

# Waits for the program to end; sets KX_APP_RC to its exit status.
# Returns 1 if it is still running after the given number of seconds.
kx_wait_app_exit() {
    local deadline=$(($(kx_now_us) + ${1:-10} * 1000000))
    while kill -0 "$KX_APP_PID" 2>/dev/null; do
        (($(kx_now_us) < deadline)) || { echo "the program is still running" >&2; return 1; }
        sleep 0.05
    done
    KX_APP_RC=0
    wait "$KX_APP_PID" || KX_APP_RC=$?
    KX_APP_PID=
}

kx_kill_app() {
    if [ -n "${KX_APP_PID:-}" ]; then
        kill "$KX_APP_PID" 2>/dev/null || true
        wait "$KX_APP_PID" 2>/dev/null || true
        KX_APP_PID=
    fi
}

kx_app_alive() { [ -n "${KX_APP_PID:-}" ] && kill -0 "$KX_APP_PID" 2>/dev/null; }

# The visible windows whose title matches the (anchored) pattern.
kx_windows() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }

# Waits for one visible window titled exactly $1; prints its id.
kx_wait_window() {
    local title=$1 timeout=${2:-10} ids
    local deadline=$(($(kx_now_us) + timeout * 1000000))
    while :; do
        ids=$(kx_windows "^${title}\$")
        if [ -n "$ids" ]; then
            if [ "$(wc -l <<<"$ids")" -ne 1 ]; then
                echo "more than one window titled '$title' is open" >&2
                return 1
            fi
            echo "$ids"
            return 0
        fi
        kx_app_alive || { echo "the program ended while waiting for '$title'" >&2; return 1; }
        (($(kx_now_us) < deadline)) || { echo "no window titled '$title' within ${timeout}s" >&2; return 1; }
        sleep 0.05
    done
}

# Waits until no visible window is titled exactly $1.
kx_wait_no_window() {
    local title=$1 timeout=${2:-10}
    local deadline=$(($(kx_now_us) + timeout * 1000000))
    while [ -n "$(kx_windows "^${title}\$")" ]; do
        (($(kx_now_us) < deadline)) || { echo "the window '$title' is still open after ${timeout}s" >&2; return 1; }
        sleep 0.05
    done
}

# Gives the keyboard to a window. There is no window manager, so this is
# a plain X input focus; --sync waits until the server has done it.
kx_focus() { timeout 5 xdotool windowfocus --sync "$1" >/dev/null 2>&1 || xdotool windowfocus "$1"; }

# Waits for the question (or dialog) titled $1, gives it the keyboard and
# presses the given key: Return answers Yes (the default button), Escape
# answers No. Does not wait for it to close.
kx_press_in() {
    local w
    w=$(kx_wait_window "$1") || return 1
    kx_focus "$w"
    xdotool key "$2"
}

# Answers the question titled $1 with the key $2 and waits until it is gone.
kx_answer() {
    kx_press_in "$1" "$2" || return 1
    kx_wait_no_window "$1"
}

# Types $2 into the input dialog titled $1 and confirms it with Return.
kx_input() {
    local w
    w=$(kx_wait_window "$1") || return 1
    kx_focus "$w"
    [ -z "$2" ] || xdotool type --delay 30 "$2"
    xdotool key Return
    kx_wait_no_window "$1"
}

# Finds the board once it is shown; sets KX_BOARD, KX_BX, KX_BY.
kx_find_board() {
    KX_BOARD=$(kx_wait_window "$KX_TITLE") || return 1
    local geo
    geo=$(xdotool getwindowgeometry --shell "$KX_BOARD") || return 1
    local X Y WIDTH HEIGHT
    eval "$(grep -E '^(X|Y|WIDTH|HEIGHT)=[0-9]+$' <<<"$geo")"
    KX_BX=$X KX_BY=$Y KX_BW=$WIDTH KX_BH=$HEIGHT
}

# Screen position of a board point.
kx_sx() { echo $((KX_BX + $1)); }
kx_sy() { echo $((KX_BY + $1)); }

# Slot k's top-left corner in board coordinates.
kx_slot_x() { echo $((($1 % 6) * (KX_BOX_W + 2) + 2)); }
kx_slot_y() { echo $((($1 / 6) * (KX_BOX_H + 2) + 2)); }

# Moves the pointer to a screen point. (mousemove --sync waits for the
# pointer to move, so it would wait for ever when it is there already.)
kx_move() {
    local X=-1 Y=-1
    eval "$(xdotool getmouselocation --shell 2>/dev/null | grep -E '^(X|Y)=[0-9]+$')"
    if [ "$X" != "$1" ] || [ "$Y" != "$2" ]; then
        timeout 5 xdotool mousemove --sync "$1" "$2" || xdotool mousemove "$1" "$2"
    fi
}

# Clicks with the given mouse button (1 left, 3 right) at a board point.
kx_click_board() {
    kx_move "$(kx_sx "$1")" "$(kx_sy "$2")"
    xdotool click "${3:-1}"
}

# Clicks the control button of the box in slot k.
kx_click_button() {
    local x y
    x=$(($(kx_slot_x "$1") + 168 + 28))
    y=$(($(kx_slot_y "$1") + 148 + 15))
    kx_click_board "$x" "$y" 1
}

# The open context menu: a window of the program other than the board with
# no title of its own (Qt names it after the program in _NET_WM_NAME only,
# so a search by title does not find it).
kx_menu_window() {
    local w
    for w in $(xdotool search --onlyvisible --class '^kelvo-timer$' 2>/dev/null || true); do
        [ "$w" != "$KX_BOARD" ] || continue
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = kelvo-timer ] || continue
        echo "$w"
        return 0
    done
}

# Right-clicks the board at a point and chooses item $3 (1 = 新增,
# 2 = 关闭) of the context menu by clicking it.
kx_menu() {
    kx_click_board "$1" "$2" 3
    local menu deadline=$(($(kx_now_us) + 5000000))
    while :; do
        menu=$(kx_menu_window)
        [ -n "$menu" ] && break
        (($(kx_now_us) < deadline)) || { echo "the context menu did not open" >&2; return 1; }
        sleep 0.05
    done
    local X Y WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$menu" | grep -E '^(X|Y|WIDTH|HEIGHT)=[0-9]+$')"
    # Two items of equal height fill the menu inside its frame.
    local iy=$((Y + HEIGHT * (2 * $3 - 1) / 4))
    kx_move $((X + 20)) "$iy"
    sleep 0.05
    xdotool click 1
    deadline=$(($(kx_now_us) + 5000000))
    while [ -n "$(kx_menu_window)" ]; do
        (($(kx_now_us) < deadline)) || { echo "the context menu did not close" >&2; return 1; }
        sleep 0.05
    done
}

# Adds a group with Ctrl+N.
kx_add_by_key() {
    kx_focus "$KX_BOARD"
    xdotool key ctrl+n
    kx_input '请输入新的组号：' "$1"
}

# Adds a group through the context menu, opened at a board point.
kx_add_by_menu() {
    kx_menu "$2" "$3" 1 || return 1
    kx_input '请输入新的组号：' "$1"
}

# Grabs the board (board coordinates) and answers kelvo-xshot queries.
kx_shot() { kx_env "$KX_SHOT" -r "$KX_BX,$KX_BY,$KX_BOARD_W,$KX_BOARD_H" "$@"; }
