#!/bin/sh
# Compares what a shared library exports with the functions its public header declares: none missing,
# none extra. On Linux the dynamic symbols (nm -D); with an objdump given, a Windows DLL's export table,
# whose names must also be undecorated (no leading underscore, no @N).
# usage: check_exports.sh LIBRARY HEADER [OBJDUMP]
lib="$1"
header="$2"
objdump="$3"
if [ -n "$objdump" ]; then
  # The cross toolchain's objdump is part of every Windows build: missing, it is a broken build.
  command -v "$objdump" >/dev/null 2>&1 || { echo "objdump '$objdump' not available"; exit 1; }
  # The name table follows the "[Ordinal/Name Pointer] Table" line as "[   0] NAME" rows.
  actual=$("$objdump" -p "$lib" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort)
else
  command -v nm >/dev/null 2>&1 || { echo "nm not available"; exit 77; }
  actual=$(nm -D --defined-only "$lib" | awk '{print $NF}' | sort)
fi
expected=$(grep -o 'OSTREL_CALL [A-Za-z_0-9]*(' "$header" | sed 's/OSTREL_CALL //; s/($//' | sort)
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
