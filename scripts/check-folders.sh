#!/usr/bin/env bash
# The folder rule: src/ folders depend one way, downward through these levels, and folders
# on the same level never include each other. Prints every include that breaks it (file,
# line, what it includes) and exits 1; exits 0 when there is none.
# Usage: scripts/check-folders.sh [SRC_DIR]
set -euo pipefail
src=${1:-$(dirname "$0")/../src}
cd "$src"

# Level of each folder: a folder may include folders of a higher number only.
declare -A level=([shell]=1 [capture]=2 [toolbar]=3 [style]=3 [about]=3 [output]=4 [form]=5
                  [platform]=6)

status=0
while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    target=$(sed -E 's/.*#include "([^"/]+)\/.*/\1/' <<<"${rest#*:}")
    from=${file%%/*}
    [ "$from" = "$file" ] && continue # main.cpp, the top, may include anything
    [ "$target" = "$from" ] && continue
    if [ -z "${level[$from]:-}" ]; then
        echo "$file:$line: folder $from/ has no level in the folder rule"
        status=1
    elif [ -z "${level[$target]:-}" ] || [ "${level[$target]}" -le "${level[$from]}" ]; then
        echo "$file:$line: $from/ must not include $target/"
        status=1
    fi
done < <(grep -rn --include='*.cpp' --include='*.h' -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[^"/]+/' .  | sed 's#^\./##')
exit $status
