#!/usr/bin/env bash
# quendra-plot's manual pages, English and Japanese, describe every option --help lists, in the
# order --help lists them, and no option the program does not know; every page formats without a
# warning from man.
# usage: man_pages_test.sh QUENDRA_PLOT MAN_FOLDER
set -euo pipefail
plot=$1
pages=$2
failed=0
fail() { echo "FAILED: $*"; failed=1; }

# The options of a line of --help or of a page's .TP tag: -o, --camera, ...
in_order() { grep -oE '(^|[ ,"])--?[a-z][a-z-]*' | tr -d ' ,"' | awk '!seen[$0]++'; }
options_in() { in_order | sort -u; }
help_order=$("$plot" --help | grep -E '^  -' | sed -E 's/^ +((-[a-z], )?--?[a-z-]+).*/\1/' |
             in_order)
from_help=$(sort -u <<<"$help_order")
[ -n "$from_help" ] || fail "no options read from quendra-plot --help"

for page in "$pages/quendra-plot.1" "$pages/ja/quendra-plot.1"; do
    # The line after each .TP, with the roff escapes for dashes and fonts taken out.
    tags=$(awk 'tag { print; tag = 0 } /^\.TP/ { tag = 1 }' "$page" |
           sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g')
    in_page=$(options_in <<<"$tags")
    page_order=$(in_order <<<"$tags" | grep -Fx -f <(echo "$help_order") || true)
    [ "$page_order" = "$help_order" ] || fail "$page does not follow the order of --help"
    for option in $from_help; do
        grep -qx -- "$option" <<<"$in_page" || fail "$page does not describe $option"
    done
    for option in $in_page; do
        complaint=$("$plot" "$option" 2>&1 >/dev/null) || true
        if grep -q "知らないオプション" <<<"$complaint"; then
            fail "$page describes $option, which quendra-plot does not know"
        fi
    done
done

if command -v man >/dev/null; then
    for page in "$pages"/*.1 "$pages"/ja/*.1; do
        warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
                   man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null) || true
        [ -z "$warnings" ] || fail "man warns about $page: $warnings"
    done
fi
[ "$failed" -eq 0 ] && echo "ok: the manual pages"
exit "$failed"
