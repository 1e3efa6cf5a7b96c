#!/usr/bin/env bash
# The Debian package, unpacked into a scratch root, plays a one-end game from there: the installed
# curling-match finds the installed engine, and the engine its simulator library, wherever the root is.
# The installed studio answers --help and, started, finds the same engine and serves.
# Usage: check_package.sh BUILD_DIR
set -euo pipefail
build=$1
scratch=$(mktemp -d)
studio=""
trap '[ -z "$studio" ] || kill "$studio" 2>/dev/null; rm -rf "$scratch"' EXIT

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

help=$("$scratch/root/usr/bin/curling-studio" --help)
grep -q -- '--matches' <<<"$help" || { echo "the installed studio's --help lacks --matches" >&2; exit 1; }
"$scratch/root/usr/bin/curling-studio" --port 0 --matches "$scratch" >"$scratch/studio.out" 2>&1 &
studio=$!
# It prepares the search before it prints its address; a missing engine ends it at once instead.
for _ in $(seq 600); do
    grep -q 'serving http://127.0.0.1:' "$scratch/studio.out" && break
    kill -0 "$studio" 2>/dev/null || break
    sleep 0.5
done
grep -q 'serving http://127.0.0.1:' "$scratch/studio.out" ||
    { echo "the installed studio did not serve: $(cat "$scratch/studio.out")" >&2; exit 1; }
echo "the unpacked package played a one-end game, and its studio serves"
