#!/bin/sh
# Fails when an option that `corvane --help` lists is missing from the manual page, so that an option
# added to the program cannot ship undocumented in the package.
#   manual_covers_options.sh PROGRAM MANUAL_PAGE
set -eu
program=$1
manual=$2
# The page's source writes each hyphen as "\-".
text=$(sed 's/\\-/-/g' "$manual")
missing=
for option in $("$program" --help | grep -oE '(^|[][ |])(--?[a-z][a-z-]*|/[a-z]+)' | tr -d '[]| ' | sort -u); do
  case $text in
    *"$option"*) ;;
    *) missing="$missing $option" ;;
  esac
done
if [ -n "$missing" ]; then
  echo "options of $program --help missing from $manual:$missing" >&2
  exit 1
fi
