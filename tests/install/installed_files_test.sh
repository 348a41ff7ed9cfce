#!/bin/sh
# The installed window program, run with HOME and the XDG folders in a temporary place,
# writes its files there and nowhere else: not into the current folder, not beside the
# executable, not into the real home. It takes over an old vantry.ini beside the
# executable on its first start. Needs a display with a window manager (run-under-xvfb.sh).
set -eu
build="$1"
work=$(mktemp -d)
pid=""
trap 'if [ -n "$pid" ]; then kill -9 "$pid" 2>/dev/null || true; fi; rm -rf "$work"' EXIT
trap 'exit 1' HUP INT TERM
root="$work/root"
home="$work/home"
here="$work/cwd"
mkdir -p "$home" "$here"

fail() {
    echo "installed_files_test: $*" >&2
    exit 1
}

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null || fail "cmake --install failed"
# Where older versions kept the settings.
printf 'global\n{\n  dateformat=1\n}\n' >"$root/usr/bin/vantry.ini"
(cd "$root" && find . | sort) >"$work/tree-before"
real_home=${HOME:-/root}
touch "$work/marker"

cd "$here"
# A clean environment but the sanitizers' settings, for a sanitized build.
env -i PATH="/usr/bin:/bin" DISPLAY="$DISPLAY" XAUTHORITY="${XAUTHORITY:-}" HOME="$home" \
    ASAN_OPTIONS="${ASAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" \
    XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_STATE_HOME="$home/state" \
    XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/runtime" GSETTINGS_BACKEND=memory \
    NO_AT_BRIDGE=1 VANTRY_NO_SPLASH=1 "$root/usr/bin/vantry" >"$work/out.txt" 2>&1 &
pid=$!

# The main window shows, then closes as a user closes it.
window=""
for _ in $(seq 1 600); do
    window=$(xdotool search --onlyvisible --pid "$pid" --name "Vantry" 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || { cat "$work/out.txt" >&2; fail "vantry ended without a window"; }
    sleep 0.1
done
[ -n "$window" ] || fail "no window within 60 s"
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
xdotool key --clearmodifiers alt+F4
for _ in $(seq 1 600); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then fail "vantry did not close within 60 s"; fi
wait "$pid" || fail "vantry exited with an error: $(cat "$work/out.txt")"
pid=""
cd "$work"

# Nothing in the current folder, not even the log: that is kept in the state folder.
left=$(ls -A "$here")
[ -z "$left" ] || fail "files in the current folder: $left"
[ -d "$home/state/vantry" ] || fail "no state folder $home/state/vantry for the log"
# Nothing new or gone in the installed tree.
(cd "$root" && find . | sort) >"$work/tree-after"
diff -u "$work/tree-before" "$work/tree-after" || fail "the installed tree changed"
# Nothing of vantry's in the real home.
changed=$(find "$real_home/.config" "$real_home/.local" -newer "$work/marker" 2>/dev/null |
    grep -i 'vantry\|nimbrel' || true)
[ -z "$changed" ] || fail "written into the real home: $changed"
# The settings were taken over into the config folder, and no desktop files were written.
cmp -s "$root/usr/bin/vantry.ini" "$home/config/vantry/vantry.ini" ||
    fail "the old vantry.ini was not taken over into $home/config/vantry"
[ ! -e "$home/data/applications/vantry.desktop" ] || fail "the installed program wrote a desktop entry"
echo "installed_files_test: files only under HOME and the XDG folders"
