#!/usr/bin/env bash
# The zefra-cli man page must name every command and option that `zefra-cli --help` lists,
# so a new command or option cannot ship undocumented in the installed manual.
# Usage: check_man_page.sh ZEFRA_CLI MAN_PAGE
set -euo pipefail
cli=$1
page=$2
help=$("$cli" --help)
# The page as plain words: roff's escaped hyphens and font changes removed.
text=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/"//g' "$page")
missing=0
commands=$(sed -n 's/^  \([a-z][a-z0-9-]*\) .*/\1/p; s/^  \([a-z][a-z0-9-]*\)$/\1/p' <<<"$help" | sort -u)
[ -n "$commands" ] || { echo "no commands found in zefra-cli --help"; exit 1; }
for c in $commands; do
  if ! grep -Eq "^\.(B|BI|BR) $c( |$)" <<<"$text"; then
    echo "man page lacks the command '$c'"; missing=1
  fi
done
for c in $commands; do
  usage=$("$cli" "$c" --help | head -n 1)
  for opt in $(grep -oE -- '(^|[ [|])--?[a-zA-Z][a-zA-Z0-9-]*' <<<"$usage" | sed 's/^[ [|]//' | sort -u); do
    grep -qF -- "$opt" <<<"$text" || { echo "man page lacks $c's option $opt"; missing=1; }
  done
done
for opt in --help --version; do
  grep -qF -- "$opt" <<<"$text" || { echo "man page lacks $opt"; missing=1; }
done
[ $missing -eq 0 ] && echo "man page names all $(wc -w <<<"$commands") commands and their options"
exit $missing
