#!/bin/sh
# The detection library must not allocate: it imports no allocator from the C or C++ runtime.
# usage: check_no_allocator.sh LIBRARY
command -v nm >/dev/null 2>&1 || { echo "nm not available"; exit 77; }
found=$(nm -D --undefined-only "$1" | awk '{print $NF}' | sed 's/@.*//' |
  grep -E '^(malloc|calloc|realloc|free|aligned_alloc|posix_memalign|memalign|_Znw.*|_Zna.*|_Zdl.*|_Zda.*)$')
if [ -n "$found" ]; then
  echo "allocator imported: $found"
  exit 1
fi
echo "no allocator imported"
