#!/bin/sh
# The detection library must not allocate: none of its own object files calls an allocator of the C or
# C++ runtime. The objects are read rather than the finished library, because a library that links the
# C++ runtime in statically (the Windows DLL) carries the runtime's own calls to malloc beside ours.
# usage: check_no_allocator.sh NM OBJECT...
nm="$1"
shift
command -v "$nm" >/dev/null 2>&1 || { echo "nm '$nm' not available"; exit 1; }
[ $# -gt 0 ] || { echo "no object files given"; exit 1; }
# 32-bit Windows puts an underscore before every C name (_malloc, __Znwj); a call through an import
# table goes to __imp_NAME.
found=$("$nm" --undefined-only "$@" | awk 'NF {print $NF}' | sort -u |
  grep -E '^(__imp_)?_?(malloc|calloc|realloc|free|aligned_alloc|posix_memalign|memalign|_Znw.*|_Zna.*|_Zdl.*|_Zda.*)$')
if [ -n "$found" ]; then
  echo "allocator called:" $found
  exit 1
fi
echo "no allocator called by $# objects"
