#!/bin/sh
# A Windows DLL of ours may import from the system and the C runtime only (KERNEL32.dll, msvcrt.dll):
# a libstdc++, libgcc or winpthread DLL would have to ship beside it and could clash with another copy.
# usage: check_dll_imports.sh OBJDUMP DLL
objdump="$1"
dll="$2"
# The cross toolchain's objdump is part of every Windows build: missing, it is a broken build, not a skip.
command -v "$objdump" >/dev/null 2>&1 || { echo "objdump '$objdump' not available"; exit 1; }
imports=$("$objdump" -p "$dll" | sed -n 's/^[[:space:]]*DLL Name: //p' | sort -u)
if [ -z "$imports" ]; then
  echo "no import table read from $dll"
  exit 1
fi
others=$(printf '%s\n' "$imports" | grep -v -i -x -e 'KERNEL32.dll' -e 'msvcrt.dll')
if [ -n "$others" ]; then
  echo "imports beyond KERNEL32.dll and msvcrt.dll:"
  printf '%s\n' "$others"
  exit 1
fi
echo "imports: $(printf '%s ' $imports)"
