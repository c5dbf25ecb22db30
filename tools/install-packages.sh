#!/usr/bin/env bash
# Installs the Debian packages that a make target needs (run, test, bench, package or fuzz),
# and only those that are missing. Uses sudo when not run as root.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
target=${1:-run}
lists=("$here/packages/run.txt")
case "$target" in
  run) ;;
  test | bench | package | fuzz) lists+=("$here/packages/$target.txt") ;;
  *) echo "usage: $0 run|test|bench|package|fuzz" >&2; exit 2 ;;
esac

missing=()
for package in $(sed 's/#.*//' "${lists[@]}"); do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
"${sudo[@]}" apt-get update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
