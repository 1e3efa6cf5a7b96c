#!/usr/bin/env bash
# The Debian package, unpacked into a scratch root, plays a one-end game from there: the installed
# curling-match finds the installed engine, and the engine its simulator library, wherever the root is.
# Every link of the installed README and manuals reaches a page of the package.
# Usage: check_package.sh BUILD_DIR
set -euo pipefail
build=$1
links=$(cd "$(dirname "$0")/../docs" && pwd)/check_links.py
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$scratch/package" >/dev/null
deb=$(ls "$scratch"/package/*.deb)
dpkg-deb -f "$deb" Depends | grep -q libbox2d || { echo "the package does not depend on Box2D" >&2; exit 1; }
dpkg -x "$deb" "$scratch/root"
doc=$(dirname "$(find "$scratch/root/usr/share/doc" -maxdepth 2 -name README.md)")
[ -d "$doc/docs" ] || { echo "the package has no docs/ beside its README" >&2; exit 1; }
python3 "$links" --links-only "$doc" >"$scratch/links.txt" || { cat "$scratch/links.txt" >&2; exit 1; }
cd "$scratch"  # from any folder
"$scratch/root/usr/bin/curling-match" --ends 1 --out "$scratch/game" >/dev/null
grep -q '"type":"result"' "$scratch/game/record.jsonl"
if grep -q '"fault"\|"forfeited":\[true\|"forfeited":\[false,true' "$scratch/game/record.jsonl"; then
    echo "the installed engines did not play a clean game" >&2
    exit 1
fi
echo "the unpacked package played a one-end game"
