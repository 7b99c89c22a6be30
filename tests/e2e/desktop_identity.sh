#!/usr/bin/env bash
# What the desktop sees of the main window, read with xprop: an icon of its own (the menu entry's,
# in several sizes) and a window class that the menu entry names as its StartupWMClass, so that
# task bars show the entry's name and icon. Qt 6.4 on X11 sets neither _KDE_NET_WM_DESKTOP_FILE
# nor _GTK_APPLICATION_ID; the desktop file name reaches Wayland as the application id.
# Usage: desktop_identity.sh BIN_DIR SHOT_DIR
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
e2e_start desktop_identity "$1" "$2"

readonly kMainTitle="Zelmak add Cipher-Disc Rotation2"
entry="$(dirname "$0")/../../data/io.github.zelmak.Zelmak.desktop"
command -v xprop >/dev/null || e2e_fail "xprop is not installed (x11-utils, scripts/setup.sh)"

e2e_run_program
e2e_find_window 60 "$kMainTitle"
main=$E2E_WINDOW

icons=$(timeout 20 xprop -id "$main" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')
e2e_log "icons: $icons"
for size in 16 32 48 128; do
    grep -q "Icon ($size x $size)" <<<"$icons" || e2e_fail "no $size x $size icon; _NET_WM_ICON: $icons"
done

class=$(timeout 20 xprop -id "$main" WM_CLASS)
e2e_log "$class"
wm_class=$(grep -o '"[^"]*"$' <<<"$class" | tr -d '"')
startup_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
[ -n "$startup_class" ] || e2e_fail "the menu entry names no StartupWMClass"
[ "$wm_class" = "$startup_class" ] ||
    e2e_fail "window class \"$wm_class\" is not the entry's StartupWMClass \"$startup_class\""

e2e_click "$main" 723 592 # Exit
e2e_expect_exit_0 30
