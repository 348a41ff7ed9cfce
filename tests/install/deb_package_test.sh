#!/bin/sh
# Builds the .deb with CPack, installs it with dpkg, runs vantry from /usr/bin and removes
# the package again. Changes the system, so it runs only as root (CI's container).
set -eu
build="$1"
if [ "$(id -u)" != 0 ]; then
    echo "deb_package_test: skipped, dpkg -i needs root"
    exit 77
fi
if dpkg-query -W -f='${Status}' vantry 2>/dev/null | grep -q "install ok installed"; then
    echo "deb_package_test: skipped, a vantry package is installed already"
    exit 77
fi
work=$(mktemp -d)
# Whatever happens from here on (a failed step, an interrupt, CTest's time limit), the
# package goes again and so does the work folder: the machine is left as it was found.
trap 'dpkg --purge vantry >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
trap 'exit 1' HUP INT TERM

fail() {
    echo "deb_package_test: $*" >&2
    exit 1
}

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || {
    cat "$work/cpack.log" >&2
    fail "cpack failed"
}
deb=$(ls "$work"/out/vantry_*.deb)

# The dependencies are those of the linked libraries, as dpkg-shlibdeps finds them.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libc6 libstdc++6 libwx; do
    echo "$depends" | grep -q "$library" || fail "Depends names no $library package"
done

dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || {
    cat "$work/dpkg.log" >&2
    fail "dpkg -i failed"
}
[ "$(command -v vantry)" = /usr/bin/vantry ] || fail "vantry is not /usr/bin/vantry on the PATH"
/usr/bin/vantry --version | grep -q "^Vantry v" || fail "/usr/bin/vantry --version fails"
dpkg -L vantry >"$work/files"
grep -q "^/usr/lib/vantry/libvantry_window.so$" "$work/files" || fail "the package has no window module"

dpkg -r vantry >"$work/remove.log" 2>&1 || {
    cat "$work/remove.log" >&2
    fail "dpkg -r failed"
}
# Removed cleanly: none of the package's files is left.
while read -r path; do
    if [ -f "$path" ]; then fail "$path is left after dpkg -r"; fi
done <"$work/files"
for folder in /usr/lib/vantry /usr/share/vantry; do
    [ ! -e "$folder" ] || fail "$folder is left after dpkg -r"
done
# Its record goes too (the ldconfig script CPack adds keeps it until a purge).
dpkg --purge vantry >"$work/purge.log" 2>&1 || {
    cat "$work/purge.log" >&2
    fail "dpkg --purge failed"
}
if dpkg-query -W -f='${Status}' vantry 2>/dev/null | grep -qv "not-installed"; then
    fail "dpkg still knows vantry after a purge: $(dpkg-query -W -f='${Status}' vantry)"
fi
echo "deb_package_test: installed, ran and removed cleanly"
