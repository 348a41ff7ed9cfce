#!/bin/sh
# The manual page keeps up with the program: every option that vantry --help names (each
# "--word" in it) is on the page, and the page renders without a warning from groff, from
# man-db's man and, where it is installed, from mandoc's linter.
set -eu
vantry="$1"
page="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trap 'exit 1' HUP INT TERM

fail() {
    echo "man_page_test: $*" >&2
    exit 1
}

"$vantry" --help >"$work/help.txt" || fail "vantry --help fails"
grep -o -- '--[a-z][a-z-]*' "$work/help.txt" | sort -u >"$work/options"
[ -s "$work/options" ] || fail "vantry --help names no option at all"

# The page as a reader sees it, as plain text: no hyphenation and lines long enough that
# no option is split at a line's end.
groff -man -Tascii -rLL=1000n -rHY=0 -P-cbou "$page" >"$work/page.txt" 2>/dev/null ||
    fail "groff can't render $page"
missing=""
while read -r option; do
    grep -q -E -- "(^|[^a-z-])$option([^a-z-]|\$)" "$work/page.txt" || missing="$missing $option"
done <"$work/options"
[ -z "$missing" ] || fail "vantry --help names$missing, which the man page lacks"

# groff with every warning on.
groff -man -Tutf8 -ww -z "$page" 2>"$work/groff.err" || fail "groff fails on $page"
if [ -s "$work/groff.err" ]; then
    cat "$work/groff.err" >&2
    fail "groff warns about $page"
fi
# man-db, as man vantry shows the page.
LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" >/dev/null 2>"$work/man.err" ||
    fail "man -l fails on $page"
if [ -s "$work/man.err" ]; then
    cat "$work/man.err" >&2
    fail "man -l warns about $page"
fi
if command -v mandoc >/dev/null; then
    mandoc -Tlint -Wwarning "$page" || fail "mandoc -Tlint finds faults in $page"
fi
echo "man_page_test: $(wc -l <"$work/options") options of vantry --help, all on the page, which renders cleanly"
