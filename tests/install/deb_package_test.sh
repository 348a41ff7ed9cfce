#!/bin/sh
# Builds the .deb with CPack and checks it: its dependencies, the files Debian asks for,
# lintian's verdict (no error, no warning that the package's overrides do not explain), and
# an install, a run and a purge that leave nothing behind. The install goes into a throwaway
# root with a dpkg database of its own, so the machine's packages are never touched; with
# VANTRY_TEST_SYSTEM_INSTALL=1 the package is installed on this machine instead (root only)
# and removed again.
set -eu
build="$1"
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
system_install=${VANTRY_TEST_SYSTEM_INSTALL:-0}

if [ "$system_install" = 1 ]; then
    if [ "$(id -u)" != 0 ]; then
        echo "deb_package_test: skipped, VANTRY_TEST_SYSTEM_INSTALL=1 needs root for dpkg -i"
        exit 77
    fi
    if dpkg-query -W -f='${Status}' vantry 2>/dev/null | grep -q "install ok installed"; then
        echo "deb_package_test: skipped, a vantry package is installed already"
        exit 77
    fi
fi
work=$(mktemp -d)
# Whatever happens from here on (a failed step, an interrupt, CTest's time limit), the work
# folder goes, and with a system install the package too: the machine is left as found.
if [ "$system_install" = 1 ]; then
    trap 'dpkg --purge vantry >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
else
    trap 'rm -rf "$work"' EXIT
fi
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

# What Debian asks of every package: the copyright and the changelog, and the manual page
# compressed with gzip -9n (no name, no time stamp), so that the same page gives the same
# package bytes.
dpkg-deb -x "$deb" "$work/contents"
doc="$work/contents/usr/share/doc/vantry"
[ -f "$doc/copyright" ] || fail "the package has no /usr/share/doc/vantry/copyright"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    "$doc/copyright" || fail "the copyright file is not in the machine-readable format"
[ -f "$doc/changelog.gz" ] || fail "the package has no /usr/share/doc/vantry/changelog.gz"
page="$work/contents/usr/share/man/man1/vantry.1.gz"
[ -f "$page" ] || fail "the package has no /usr/share/man/man1/vantry.1.gz"
gzip -9n -c "$source_dir/docs/vantry.1" | cmp -s - "$page" ||
    fail "vantry.1.gz is not docs/vantry.1 compressed with gzip -9n"
[ -f "$work/contents/usr/share/lintian/overrides/vantry" ] ||
    fail "the package has no lintian overrides"

# lintian: no error and no warning. What it rightly says of this package is answered in
# /usr/share/lintian/overrides/vantry, each with its reason; the log shows all of it,
# the overridden and the informational tags included. (With --show-overrides, lintian's
# exit status counts the overridden tags too, so the verdict is read from its tag lines:
# "E:" and "W:" are errors and warnings left standing.)
command -v lintian >/dev/null || fail "lintian is not installed (scripts/install-deps installs it)"
lintian_status=0
lintian --display-info --show-overrides "$deb" >"$work/lintian.log" 2>&1 || lintian_status=$?
echo "lintian:"
sed 's/^/  /' "$work/lintian.log"
[ "$lintian_status" = 0 ] || [ "$lintian_status" = 2 ] || fail "lintian could not check the package"
if grep -q '^[EW]: ' "$work/lintian.log"; then
    fail "lintian finds errors or warnings in the package (see above)"
fi

# A stand-in for ldconfig: CPack's maintainer scripts call it, and in a throwaway root it
# must not rebuild this machine's linker cache.
mkdir "$work/bin"
printf '#!/bin/sh\nexit 0\n' >"$work/bin/ldconfig"
chmod +x "$work/bin/ldconfig"

# The installed window program finds its window module beside it (lib/vantry): without a
# display it gets as far as GTK, which says there is none.
check_window_module() {
    status=0
    env -u WAYLAND_DISPLAY DISPLAY=:65000 HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" \
        XDG_STATE_HOME="$work/home/state" XDG_DATA_HOME="$work/home/data" \
        "$1" >"$work/window.log" 2>&1 || status=$?
    if [ "$status" = 0 ] || grep -q "can't load the window program" "$work/window.log" ||
        ! grep -q "GTK" "$work/window.log"; then
        cat "$work/window.log" >&2
        fail "$1 does not load its window module"
    fi
}

if [ "$system_install" = 1 ]; then
    dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || {
        cat "$work/dpkg.log" >&2
        fail "dpkg -i failed"
    }
    [ "$(command -v vantry)" = /usr/bin/vantry ] || fail "vantry is not /usr/bin/vantry on the PATH"
    /usr/bin/vantry --version | grep -q "^Vantry v" || fail "/usr/bin/vantry --version fails"
    check_window_module /usr/bin/vantry
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
    for folder in /usr/lib/vantry /usr/share/vantry /usr/share/doc/vantry; do
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
    echo "deb_package_test: installed on this machine, ran and removed cleanly"
    exit 0
fi

# The throwaway root: a folder with an empty dpkg database of its own. The maintainer
# scripts run outside it (there is no shell inside), with the ldconfig stand-in first on
# the PATH; the package's dependencies are not there, and need not be for this.
root="$work/root"
admin="$root/var/lib/dpkg"
mkdir -p "$admin" "$work/home"
before=$(dpkg-query -W -f='${Status}' vantry 2>/dev/null || true)
in_root() {
    not_root=""
    if [ "$(id -u)" != 0 ]; then not_root=--force-not-root; fi
    HOME="$work/home" PATH="$work/bin:$PATH" dpkg --root="$root" --admindir="$admin" \
        --log="$work/dpkg-actions.log" --force-depends --force-script-chrootless $not_root "$@"
}
if ! in_root -i "$deb" >"$work/dpkg.log" 2>&1; then
    cat "$work/dpkg.log" >&2
    if [ "$(id -u)" != 0 ]; then
        echo "deb_package_test: skipped, dpkg can't install into a folder without root here"
        exit 77
    fi
    fail "dpkg -i into $root failed"
fi
in_root -s vantry 2>/dev/null | grep -q "^Status: install ok installed" ||
    fail "the throwaway root's dpkg does not know vantry as installed"

version=$("$root/usr/bin/vantry" --version) || fail "the installed vantry --version fails"
[ "$version" = "$("$build/src/vantry" --version)" ] || fail "the installed vantry says '$version'"
check_window_module "$root/usr/bin/vantry"
in_root -L vantry >"$work/files"
grep -q "^/usr/lib/vantry/libvantry_window.so$" "$work/files" || fail "the package has no window module"

in_root -r vantry >"$work/remove.log" 2>&1 || {
    cat "$work/remove.log" >&2
    fail "dpkg -r in $root failed"
}
while read -r path; do
    if [ -f "$root$path" ]; then fail "$path is left after dpkg -r"; fi
done <"$work/files"
in_root --purge vantry >"$work/purge.log" 2>&1 || {
    cat "$work/purge.log" >&2
    fail "dpkg --purge in $root failed"
}
if in_root -s vantry >/dev/null 2>&1; then
    fail "the throwaway root's dpkg still knows vantry after a purge"
fi
# Nothing is left in the root but the dpkg database and the folders that hold it.
left=$(cd "$root" && find . -path ./var/lib/dpkg -prune -o -print | sed 's|^\./||' |
    grep -v -x -e . -e var -e var/lib || true)
[ -z "$left" ] || fail "left in the throwaway root after a purge: $left"
# The machine's own dpkg database never heard of it.
after=$(dpkg-query -W -f='${Status}' vantry 2>/dev/null || true)
[ "$before" = "$after" ] || fail "this machine's dpkg database changed for vantry: '$before' -> '$after'"
echo "deb_package_test: installed into a throwaway root, ran and purged cleanly"
