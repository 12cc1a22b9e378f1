#!/usr/bin/env bash
# Smoke test of the real editor: editor_smoke.sh TALVEX_EDITOR TALVEX_CLI
set -u
editor=$1
cli=$2
for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "editor_smoke: $tool is not installed; skipped"
        exit 77
    fi
done

work=$(mktemp -d)
xvfb_pid=
editor_pid=
cleanup() {
    [[ -n "$editor_pid" ]] && kill "$editor_pid" 2>/dev/null
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "editor_smoke: FAILED: $*"
    exit 1
}

# A private home, settings folder and socket folder: the user's own editor is not disturbed.
mkdir -p "$work/home" "$work/tmp" "$work/run"
chmod 700 "$work/run"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" TMPDIR="$work/tmp" \
    XDG_RUNTIME_DIR="$work/run" USER="smoke$$"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
# In the sanitizer build, leaks of the desktop's own libraries are not the editor's.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(dirname "$0")/lsan.supp"

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [[ -s "$work/display" ]] && break
    sleep 0.1
done
[[ -s "$work/display" ]] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"

# Waits (up to 15 s) for a window whose title matches the pattern; prints its id.
wait_window() {
    local id
    for _ in $(seq 150); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
        if [[ -n "$id" ]]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

"$cli" new --type global "$work/handed over.t2g" >/dev/null || fail "no global file"

"$editor" --virtual-instrument >"$work/editor.log" 2>&1 &
editor_pid=$!
main=$(wait_window '^Untitled - TALVEX PRO\+ Editor$') || fail "no main window"
echo "editor_smoke: main window $main is up"

# A second start hands the file over and ends at once.
timeout 20 "$editor" "$work/handed over.t2g" >"$work/second.log" 2>&1 ||
    fail "the second start did not end cleanly"
kill -0 "$editor_pid" 2>/dev/null || fail "the first editor has gone"
wait_window '^Untitled \* - TALVEX PRO\+ Editor$' >/dev/null ||
    fail "the handed-over file was not opened"
echo "editor_smoke: the handed-over global file is open"

# Exit through the File menu, answering No to saving the changes.
xdotool windowfocus --sync "$main" 2>/dev/null
xdotool key --window "$main" --clearmodifiers alt+f
sleep 0.3
xdotool key --clearmodifiers x
question=$(wait_window '^TALVEX PRO\+ Editor$') || fail "no question before closing"
xdotool windowfocus --sync "$question" 2>/dev/null
xdotool key --window "$question" --clearmodifiers alt+n
for _ in $(seq 150); do
    kill -0 "$editor_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$editor_pid" 2>/dev/null; then
    cat "$work/editor.log"
    fail "the editor did not end"
fi
wait "$editor_pid"
code=$?
editor_pid=
[[ $code -eq 0 ]] || { cat "$work/editor.log"; fail "the editor ended with $code"; }
echo "editor_smoke: closed cleanly"
