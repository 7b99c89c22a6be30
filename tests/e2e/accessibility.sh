#!/usr/bin/env bash
# The window's announcements, as Qt's accessibility layer receives them. Qt passes those events
# on only while an assistive technology listens, so the test of them runs here, on X with a
# session bus and the desktop's accessibility bus, instead of on the offscreen platform.
# Usage: accessibility.sh BIN_DIR SHOT_DIR
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
e2e_start accessibility "$1" "$2"

readonly kLauncher=/usr/libexec/at-spi-bus-launcher
[ -x "$E2E_BIN/zelmak_ui_tests" ] || e2e_fail "$E2E_BIN/zelmak_ui_tests is not built"
[ -x "$kLauncher" ] || e2e_fail "$kLauncher is missing (at-spi2-core, scripts/setup.sh)"
command -v dbus-run-session >/dev/null || e2e_fail "dbus-run-session is missing (scripts/setup.sh)"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 ZELMAK_EXPECT_ACCESSIBILITY=1
timeout 120 dbus-run-session -- bash -c '
    "$1" --launch-immediately >/dev/null 2>&1 &
    launcher=$!
    "$2" --gtest_filter="KeyUndo.output_symbols_*" --gtest_brief=0
    status=$?
    kill "$launcher" 2>/dev/null
    wait "$launcher" 2>/dev/null
    exit "$status"' bash "$kLauncher" "$E2E_BIN/zelmak_ui_tests" >"$E2E_WORK/tests.log" 2>&1
status=$?
grep -E '^\[ +(OK|FAILED|SKIPPED) +\]|Failure|Expected|Which is' "$E2E_WORK/tests.log" |
    sed 's/^/    /'
[ "$status" -eq 0 ] || e2e_fail "the announcement test failed (status $status)"
grep -q '^\[  PASSED  \] 1 test' "$E2E_WORK/tests.log" || e2e_fail "the announcement test did not run"
e2e_log "the announcements were heard"
