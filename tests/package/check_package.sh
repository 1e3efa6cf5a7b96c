#!/usr/bin/env bash
# The Debian package, unpacked into a scratch root, plays a one-end game from there: the installed
# curling-match finds the installed engine, and the engine its simulator library, wherever the root is.
# Usage: check_package.sh BUILD_DIR
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$scratch/package" >/dev/null
deb=$(ls "$scratch"/package/*.deb)
dpkg-deb -f "$deb" Depends | grep -q libbox2d || { echo "the package does not depend on Box2D" >&2; exit 1; }
dpkg -x "$deb" "$scratch/root"
cd "$scratch"  # from any folder
"$scratch/root/usr/bin/curling-match" --help | grep -q -- '--game-range'
status=0
"$scratch/root/usr/bin/curling-match" --no-such-flag 2>/dev/null || status=$?
[ "$status" -eq 2 ] || { echo "a bad command line ended with code $status, not 2" >&2; exit 1; }
"$scratch/root/usr/bin/curling-match" --ends 1 --out "$scratch/game" >/dev/null
grep -q '"type":"result"' "$scratch/game/record.jsonl"
if grep -q '"fault"\|"forfeited":\[true\|"forfeited":\[false,true' "$scratch/game/record.jsonl"; then
    echo "the installed engines did not play a clean game" >&2
    exit 1
fi
echo "the unpacked package played a one-end game"
