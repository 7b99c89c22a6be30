# Shared by the end-to-end scripts: an X server of their own, the program under test, waiting by
# polling, and a clean end whatever happens. Source it, then call e2e_start NAME BIN_DIR SHOT_DIR.
#
# Every wait has its own limit and the whole script has one more (ZELMAK_E2E_LIMIT seconds); on
# any failure the screen is saved as a PNG under SHOT_DIR and its path printed.

set -uo pipefail

E2E_NAME=""
E2E_BIN=""
E2E_SHOTS=""
E2E_WORK=""
E2E_XVFB_PID=""
E2E_APP_PID=""
E2E_WATCH_PID=""
E2E_WATCHDOG_PID=""
E2E_STARTED=0

e2e_log() { printf '[%s %s] %s\n' "$E2E_NAME" "$(date +%T.%N | cut -c1-12)" "$*"; }

# Saves the whole screen (or one window) as a PNG under the shot folder and prints its path.
e2e_screenshot() {
    local label=$1 window=${2:-root}
    [ -n "${DISPLAY:-}" ] || return 0
    mkdir -p "$E2E_SHOTS"
    local file="$E2E_SHOTS/e2e-$E2E_NAME-$label.png"
    if timeout 20 import -display "$DISPLAY" -window "$window" "$file" 2>/dev/null; then
        e2e_log "screenshot: $file"
    else
        e2e_log "no screenshot could be taken"
    fi
}

e2e_fail() {
    trap - USR1
    e2e_log "FAIL: $*"
    e2e_screenshot "failure"
    if [ -n "$E2E_WORK" ] && [ -s "$E2E_WORK/app.log" ]; then
        e2e_log "the program's output:"
        sed 's/^/    /' "$E2E_WORK/app.log"
    fi
    exit 1
}

# Whether a process still runs (a zombie, ended but not yet collected, does not).
e2e_running() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    [[ "${stat##*) }" != Z* ]]
}

e2e_cleanup() {
    local pid
    for pid in "$E2E_APP_PID" "$E2E_WATCH_PID" "$E2E_WATCHDOG_PID" "$E2E_XVFB_PID"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null
    done
    # A process that does not end within 5 s of being asked (an X server stuck in its shutdown
    # was seen once) is killed, so that cleaning up never hangs the test.
    for pid in "$E2E_APP_PID" "$E2E_WATCH_PID" "$E2E_WATCHDOG_PID" "$E2E_XVFB_PID"; do
        [ -n "$pid" ] || continue
        local tries=50
        while e2e_running "$pid" && [ "$tries" -gt 0 ]; do
            sleep 0.1
            tries=$((tries - 1))
        done
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    [ -n "$E2E_WORK" ] && rm -rf "$E2E_WORK"
    if [ "$E2E_STARTED" = 1 ]; then
        e2e_log "took $((SECONDS))s"
    fi
}

# Runs "$@" once after LIMIT seconds unless killed first (by the pid in $!); holds no output
# open, so that nothing waits for it.
e2e_timer() {
    local limit=$1
    shift
    (
        trap - EXIT INT USR1
        trap 'kill "$timer" 2>/dev/null; exit 0' TERM
        sleep "$limit" &
        timer=$!
        wait "$timer"
        "$@"
    ) >/dev/null 2>&1 &
}

# Runs "$@" every 0.1 s until it succeeds; fails the test after LIMIT seconds.
e2e_wait_until() {
    local limit=$1 what=$2
    shift 2
    local deadline=$((SECONDS + limit))
    until "$@" >/dev/null 2>&1; do
        [ "$SECONDS" -lt "$deadline" ] || e2e_fail "waited ${limit}s for $what"
        sleep 0.1
    done
}

e2e_start() {
    E2E_NAME=$1
    E2E_BIN=$(cd "$2" && pwd) || e2e_fail "no folder $2"
    mkdir -p "$3" || e2e_fail "cannot make the folder $3"
    E2E_SHOTS=$(cd "$3" && pwd) || e2e_fail "no folder $3"
    local limit=${ZELMAK_E2E_LIMIT:-180}
    local tool
    for tool in Xvfb xdotool import; do
        command -v "$tool" >/dev/null || e2e_fail "$tool is not installed (scripts/setup.sh)"
    done
    for tool in zelmak zelmak-cli zelmak-e2e-x11; do
        [ -x "$E2E_BIN/$tool" ] || e2e_fail "$E2E_BIN/$tool is not built"
    done
    E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/zelmak-e2e-$E2E_NAME-XXXXXX")
    E2E_STARTED=1
    SECONDS=0
    trap e2e_cleanup EXIT
    trap 'e2e_fail "the whole test took longer than ${limit}s"' USR1
    trap 'e2e_fail "interrupted"' INT TERM
    e2e_timer "$limit" kill -USR1 $$
    E2E_WATCHDOG_PID=$!

    # A display number of the server's own choosing, so that tests running side by side never
    # meet; the server writes it once it takes connections.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$E2E_WORK/display" >"$E2E_WORK/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    e2e_wait_until 30 "Xvfb to start" test -s "$E2E_WORK/display"
    DISPLAY=":$(head -n1 "$E2E_WORK/display")"
    export DISPLAY
    e2e_log "Xvfb on $DISPLAY"

    # Qt's own widget dialogs and no desktop's settings; nothing is written to the real home.
    unset XDG_CURRENT_DESKTOP DESKTOP_SESSION QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE
    export QT_QPA_PLATFORM=xcb
    export HOME="$E2E_WORK/home" XDG_CONFIG_HOME="$E2E_WORK/home/.config"
    export XDG_RUNTIME_DIR="$E2E_WORK/runtime"
    export LANG=C.UTF-8 LC_ALL=C.UTF-8
    mkdir -p "$HOME" "$XDG_CONFIG_HOME"
    mkdir -m 700 "$XDG_RUNTIME_DIR"

    # Every top-level window that comes and goes, in the server's order.
    "$E2E_BIN/zelmak-e2e-x11" watch >"$E2E_WORK/windows.log" 2>&1 &
    E2E_WATCH_PID=$!
    e2e_wait_until 20 "the window watcher" grep -q '^ready$' "$E2E_WORK/windows.log"
}

# Starts the program in the work folder (so its dialogs open there).
e2e_run_program() {
    (cd "$E2E_WORK" && exec "$E2E_BIN/zelmak") >"$E2E_WORK/app.log" 2>&1 &
    E2E_APP_PID=$!
    e2e_log "zelmak started, pid $E2E_APP_PID"
}

# The ids of the program's visible windows whose caption is exactly TITLE.
e2e_windows_named() {
    timeout 10 xdotool search --all --onlyvisible --pid "$E2E_APP_PID" --name "^$1\$" 2>/dev/null
}

# Sets E2E_WINDOW to the id of the program's visible window whose caption is exactly TITLE,
# waiting for it up to LIMIT seconds; gives up at once if the program has ended.
e2e_find_window() {
    local limit=$1 title=$2
    local deadline=$((SECONDS + limit))
    E2E_WINDOW=""
    until E2E_WINDOW=$(e2e_windows_named "$title" | head -n1) && [ -n "$E2E_WINDOW" ]; do
        ! e2e_program_ended || e2e_fail "the program ended while waiting for \"$title\""
        [ "$SECONDS" -lt "$deadline" ] || e2e_fail "no window \"$title\" within ${limit}s"
        sleep 0.1
    done
}

e2e_window_shown() { [ -n "$(e2e_windows_named "$1")" ]; }

e2e_window_gone() { ! e2e_window_shown "$1"; }

# Clicks at (X, Y) of the window's client area.
e2e_click() {
    local window=$1 x=$2 y=$3
    timeout 20 xdotool mousemove --window "$window" "$x" "$y" click 1 ||
        e2e_fail "could not click at $x,$y"
}

e2e_type() {
    timeout 60 xdotool type --delay 40 "$1" || e2e_fail "could not type \"$1\""
}

e2e_key() {
    timeout 20 xdotool key --clearmodifiers "$@" || e2e_fail "could not press $*"
}

# Answers the program's file dialog captioned TITLE with PATH: typed into its file-name field,
# then Enter; returns once the dialog has gone.
e2e_answer_file_dialog() {
    local title=$1 path=$2 dialog
    e2e_find_window 30 "$title"
    dialog=$E2E_WINDOW
    timeout 20 xdotool windowfocus --sync "$dialog" || e2e_fail "could not focus \"$title\""
    e2e_key ctrl+a
    e2e_type "$path"
    e2e_key Return
    e2e_wait_until 30 "the dialog \"$title\" to close" e2e_window_gone "$title"
    # The dialog's window is gone a moment before its event loop has returned; until then the
    # main window still refuses input as the owner of a modal dialog.
    sleep 0.5
}

# Clicks at (X, Y) of WINDOW until a window TITLE shows (a click that reaches the window while
# it still refuses input is lost), at most LIMIT seconds.
e2e_click_for_window() {
    local window=$1 x=$2 y=$3 title=$4 limit=${5:-30}
    local deadline=$((SECONDS + limit))
    while :; do
        e2e_click "$window" "$x" "$y"
        local until=$((SECONDS + 3))
        while [ "$SECONDS" -lt "$until" ]; do
            e2e_window_shown "$title" && return 0
            sleep 0.1
        done
        [ "$SECONDS" -lt "$deadline" ] || e2e_fail "no window \"$title\" within ${limit}s"
    done
}

# Waits up to LIMIT seconds for the program to end and fails unless its exit status is 0.
e2e_expect_exit_0() {
    local limit=$1 status
    e2e_wait_until "$limit" "the program to end" e2e_program_ended
    wait "$E2E_APP_PID"
    status=$?
    E2E_APP_PID=""
    [ "$status" -eq 0 ] || e2e_fail "the program ended with status $status"
    e2e_log "the program ended with status 0"
}

# Whether the program has ended (it stays a zombie until the script collects its status).
e2e_program_ended() {
    local stat
    stat=$(cat "/proc/$E2E_APP_PID/stat" 2>/dev/null) || return 0
    [[ "${stat##*) }" == Z* ]]
}

# Fails unless the file ACTUAL holds exactly the bytes of the file EXPECTED.
e2e_expect_same_bytes() {
    local what=$1 expected=$2 actual=$3
    if ! cmp -s "$expected" "$actual"; then
        e2e_log "expected: $(od -An -c "$expected" | head -c 400)"
        e2e_log "actual:   $(od -An -c "$actual" 2>/dev/null | head -c 400)"
        e2e_fail "$what differs"
    fi
}
