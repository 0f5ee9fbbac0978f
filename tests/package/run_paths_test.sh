#!/bin/sh
# Every program and library built into BIN looks for libraries only in
# folders named relative to itself: no empty entry in its run path (the
# loader takes it as the current folder, where a planted library would be
# loaded) and no absolute folder.
# usage: run_paths_test.sh BIN
bin="$1"
bad=0
for file in $(find "$bin" -type f \( -perm -u+x -o -name '*.so' -o -name '*.dlu' \)); do
  path=$(readelf -d "$file" 2>/dev/null | sed -n 's/.*(R[UN]*PATH).*\[\(.*\)\]/\1/p')
  [ -z "$path" ] && continue
  case ":$path:" in
    *::*) echo "FAIL: $file: empty entry in run path $path"; bad=1 ;;
  esac
  for entry in $(echo "$path" | tr ':' ' '); do
    case "$entry" in
      '$ORIGIN'*) ;;
      *) echo "FAIL: $file: run path entry $entry is not beside the file"; bad=1 ;;
    esac
  done
done
[ "$bad" = 0 ] && echo "PASS: run paths of $bin"
