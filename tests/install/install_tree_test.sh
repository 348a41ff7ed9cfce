#!/bin/sh
# Installs vantry into a temporary DESTDIR and checks what lands there: every file in its
# place and nothing else, each accepted by the desktop's own validators, and the installed
# program running from its prefix.
set -eu
build="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trap 'exit 1' HUP INT TERM
root="$work/root"

fail() {
    echo "install_tree_test: $*" >&2
    exit 1
}

DESTDIR="$root" cmake --install "$build" --prefix /usr >"$work/install.log" || {
    cat "$work/install.log" >&2
    fail "cmake --install failed"
}

# The whole tree, compared with what an installed vantry consists of.
expected="usr/bin/vantry
usr/lib/vantry/libvantry_window.so
usr/share/applications/vantry.desktop
usr/share/mime/packages/vantry.xml
usr/share/metainfo/app.nimbrel.vantry.metainfo.xml
usr/share/man/man1/vantry.1.gz
usr/share/doc/vantry/copyright
usr/share/doc/vantry/changelog.gz
usr/share/lintian/overrides/vantry
usr/share/icons/hicolor/scalable/apps/vantry.svg"
for size in 16 22 24 32 48 64 128 256; do
    expected="$expected
usr/share/icons/hicolor/${size}x${size}/apps/vantry.png"
done
for page in $(cd "$(dirname "$0")/../../docs/guide" 2>/dev/null && ls); do
    expected="$expected
usr/share/vantry/help/$page"
done
(cd "$root" && find . -type f | sed 's|^\./||' | sort) >"$work/found"
echo "$expected" | sort >"$work/expected"
diff -u "$work/expected" "$work/found" || fail "the installed tree differs from the list above"

[ -x "$root/usr/bin/vantry" ] || fail "usr/bin/vantry is not executable"

# Each PNG is drawn at the size of its folder.
for size in 16 22 24 32 48 64 128 256; do
    file "$root/usr/share/icons/hicolor/${size}x${size}/apps/vantry.png" |
        grep -q "PNG image data, $size x $size" || fail "the ${size}x${size} icon has another size"
done

desktop-file-validate "$root/usr/share/applications/vantry.desktop" ||
    fail "desktop-file-validate rejects vantry.desktop"
grep -q '^Exec="vantry" %f$' "$root/usr/share/applications/vantry.desktop" ||
    fail "the installed desktop entry does not start vantry from the PATH"
appstreamcli validate --no-net "$root/usr/share/metainfo/app.nimbrel.vantry.metainfo.xml" ||
    fail "appstreamcli rejects the metainfo"
grep -q 'type="application/x-vantry-document"' "$root/usr/share/mime/packages/vantry.xml" ||
    fail "the MIME type file does not describe application/x-vantry-document"

# man reads the compressed page without a warning and shows its sections.
LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/vantry.1.gz" \
    >"$work/man.txt" 2>"$work/man.err" || fail "man -l fails on vantry.1.gz"
if [ -s "$work/man.err" ]; then
    cat "$work/man.err" >&2
    fail "man -l warns about vantry.1.gz"
fi
for section in NAME SYNOPSIS MODES OPTIONS FILES ENVIRONMENT "EXIT STATUS" EXAMPLES; do
    grep -q "^$section" "$work/man.txt" || fail "the man page has no $section section"
done

# The installed program runs from its prefix, without the build tree.
version=$("$root/usr/bin/vantry" --version) || fail "the installed vantry --version fails"
[ "$version" = "$("$build/src/vantry" --version)" ] || fail "the installed vantry says '$version'"

echo "install_tree_test: the installed tree is complete and valid"
