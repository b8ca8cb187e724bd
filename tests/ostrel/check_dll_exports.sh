#!/bin/sh
# Compares the export table of a Windows DLL with the functions its public header declares: every name
# undecorated (no leading underscore, no @N), none missing, none extra.
# usage: check_dll_exports.sh OBJDUMP DLL HEADER
objdump="$1"
dll="$2"
header="$3"
# The cross toolchain's objdump is part of every Windows build: missing, it is a broken build, not a skip.
command -v "$objdump" >/dev/null 2>&1 || { echo "objdump '$objdump' not available"; exit 1; }
expected=$(grep -o 'OSTREL_CALL [A-Za-z_0-9]*(' "$header" | sed 's/OSTREL_CALL //; s/($//' | sort)
# The name table follows the "[Ordinal/Name Pointer] Table" line as "[   0] NAME" rows.
actual=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort)
if [ -z "$expected" ]; then
  echo "no exports found in $header"
  exit 1
fi
if [ "$expected" != "$actual" ]; then
  echo "exports differ (< header, > DLL):"
  printf '%s\n' "$expected" > /tmp/ostrel_expected.$$
  printf '%s\n' "$actual" > /tmp/ostrel_actual.$$
  diff /tmp/ostrel_expected.$$ /tmp/ostrel_actual.$$
  rm -f /tmp/ostrel_expected.$$ /tmp/ostrel_actual.$$
  exit 1
fi
echo "$(printf '%s\n' "$expected" | wc -l) exports, as declared"
