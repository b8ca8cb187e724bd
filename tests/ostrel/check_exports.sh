#!/bin/sh
# Compares the dynamic symbols a shared library defines with the functions its public header declares.
# usage: check_exports.sh LIBRARY HEADER
lib="$1"
header="$2"
command -v nm >/dev/null 2>&1 || { echo "nm not available"; exit 77; }
expected=$(grep -o 'OSTREL_CALL [A-Za-z_0-9]*(' "$header" | sed 's/OSTREL_CALL //; s/($//' | sort)
actual=$(nm -D --defined-only "$lib" | awk '{print $NF}' | sort)
if [ -z "$expected" ]; then
  echo "no exports found in $header"
  exit 1
fi
if [ "$expected" != "$actual" ]; then
  echo "exports differ (< header, > library):"
  printf '%s\n' "$expected" > /tmp/ostrel_expected.$$
  printf '%s\n' "$actual" > /tmp/ostrel_actual.$$
  diff /tmp/ostrel_expected.$$ /tmp/ostrel_actual.$$
  rm -f /tmp/ostrel_expected.$$ /tmp/ostrel_actual.$$
  exit 1
fi
echo "$(printf '%s\n' "$expected" | wc -l) exports, as declared"
