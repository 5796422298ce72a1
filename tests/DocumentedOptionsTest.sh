#!/usr/bin/env bash
# The options a program's --help names are the options its manual page and the
# README name: an option added to one and forgotten in another fails here.
#   DocumentedOptionsTest.sh README PROGRAM MANPAGE.in [PROGRAM MANPAGE.in]...
set -euo pipefail
readme="$1"
shift

# Option words: a dash or two and a letter, not inside another word
# (so "semicolon-separated" or "--" alone are not options).
options() { grep -oP '(?<![\w-])--?[a-z][a-z-]*' | sort -u; }

# The synopsis, and the tag line after each .TP in the option list: the rest
# of a manual page shows other programs' options in its examples.
manual_options() {
    sed 's/\\-/-/g; s/\\f[BIRP]//g' "$1" | awk '
        /^\.SH/ { section = ($2 ~ /^(SYNOPSIS|ÜBERSICHT|OPTIONS|OPTIONEN)$/); listing = ($2 ~ /^OPTION/); next }
        !section { next }
        !listing { print; next }
        tag { print; tag = 0 }
        /^\.TP/ { tag = 1 }' | options
}

# The README's indented command lines that start with the program.
readme_options() { grep -P "^    $1( |$)" "$readme" | options; }

failed=0
while (($# >= 2)); do
    program="$1" manual="$2"
    shift 2
    name="$(basename "$program" .exe)"
    help="$("$program" --help | options)"
    for source in manual readme; do
        if [[ "$source" == manual ]]; then
            named="$(manual_options "$manual")"
        else
            named="$(readme_options "$name")"
        fi
        if [[ "$named" != "$help" ]]; then
            echo "$name: --help and the $source name different options:"
            diff <(echo "$help") <(echo "$named") | grep '^[<>]' | sed 's/^</  only in --help:/; s/^>/  only in the '"$source"':/' || true
            failed=1
        fi
    done
    echo "$name: $(echo $help)"
done
exit "$failed"
