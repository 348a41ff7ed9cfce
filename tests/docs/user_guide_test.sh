#!/bin/sh
# The user guide hangs together as the help window reads it: every page is in the
# project file (vantry.hhp) and in the contents (vantry.hhc) under its own title, both
# name only pages that exist, and every link between pages leads to one.
set -eu
guide="$1"
cd "$guide"

fail() {
    echo "user_guide_test: $*" >&2
    exit 1
}

pages=$(ls -- *.html)
listed=$(sed -n '/^\[FILES\]/,$p' vantry.hhp | grep '\.html$' || true)
contents=$(grep -o 'name="Local" value="[^"]*"' vantry.hhc | sed 's/.*value="//; s/"$//')
for page in $pages; do
    echo "$listed" | grep -q -x -F "$page" || fail "$page is not in vantry.hhp's [FILES]"
    echo "$contents" | grep -q -x -F "$page" || fail "$page is not in the contents, vantry.hhc"
    # The contents call the page what its title says.
    title=$(sed -n 's/.*<title>\(.*\)<\/title>.*/\1/p' "$page")
    [ -n "$title" ] || fail "$page has no title"
    grep -A1 -F "value=\"$title\"" vantry.hhc | grep -q -F "value=\"$page\"" ||
        fail "vantry.hhc does not name $page \"$title\""
done
for page in $listed $contents; do
    [ -f "$page" ] || fail "vantry.hhp or vantry.hhc names $page, which does not exist"
done
for page in $pages; do
    for target in $(grep -o 'href="[^"#:]*' "$page" | sed 's/^href="//'); do
        [ -f "$target" ] || fail "$page links to $target, which does not exist"
    done
done
echo "user_guide_test: $(echo "$pages" | wc -w) pages, all listed, titled and linked"
