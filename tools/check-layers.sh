#!/usr/bin/env bash
# Fails when a lower layer includes a higher one, or a logic file reaches the
# operating system past the platform seam. Layers, lowest first: platform/,
# then tray/ and library/ (neither includes the other), then ui/, then app/:
# the windows see the program only through ui/ProgramView.h.
#   tools/check-layers.sh [source root]
set -uo pipefail
root=${1:-"$(dirname "$0")/.."}
cd "$root" || exit 2

violations=0
report() {
  echo "layering: $1" >&2
  violations=$((violations + 1))
}

# The project folders a layer may include from.
allowed_for() {
  case $1 in
    platform) echo "platform" ;;
    tray) echo "platform tray" ;;
    library) echo "platform library" ;;
    ui) echo "platform tray library ui" ;;
    app) echo "platform tray library app ui" ;;
  esac
}

for layer in platform tray library app ui; do
  [ -d "$layer" ] || continue
  allowed=" $(allowed_for "$layer") "
  while IFS=: read -r file line text; do
    target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"/]+)\/.*/\1/' <<<"$text")
    [ "$target" = "$text" ] && continue  # a file of the same folder, no layer named
    case $allowed in
      *" $target "*) ;;
      *) report "$file:$line includes $target/ from $layer/: $text" ;;
    esac
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$layer" --include='*.h' --include='*.cpp')
done

# The library and the tray buttons show no window of their own: they report
# upward, and the program decides what the user sees.
while IFS= read -r hit; do
  report "$hit shows a window below app/"
done < <(grep -rnE '#[[:space:]]*include[[:space:]]*"platform/Dialogs\.h"' library tray --include='*.h' --include='*.cpp' 2>/dev/null)

# Logic files go through the seam: no system headers of either side, no
# system switch, and no reaching into one implementation of the seam.
logic=(app tray library platform/common)
for header in platform/*.h; do logic+=("$header"); done
existing=()
for path in "${logic[@]}"; do [ -e "$path" ] && existing+=("$path"); done
while IFS= read -r hit; do
  report "$hit"
done < <(grep -rnE '#[[:space:]]*include[[:space:]]*<(windows|shellapi|shlobj|commctrl|objbase|unistd|fcntl|dirent)\.h>|_WIN32|include[[:space:]]*"platform/(win32|posix)/' \
         "${existing[@]}" --include='*.h' --include='*.cpp' 2>/dev/null)

if [ "$violations" -ne 0 ]; then
  echo "layering: $violations violation(s)" >&2
  exit 1
fi
echo "layering: passed"
