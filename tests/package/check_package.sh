#!/usr/bin/env bash
# The Debian package, unpacked into a scratch root, plays a one-end game from there: the installed
# curling-match finds the installed engine, and the engine its simulator library, wherever the root is.
# The installed studio answers --help and, started, finds the same engine and serves. Every link of the
# installed README and manuals reaches a page of the package.
# Usage: check_package.sh BUILD_DIR
set -euo pipefail
build=$1
links=$(cd "$(dirname "$0")/../docs" && pwd)/check_links.py
scratch=$(mktemp -d)
studio=""
trap '[ -z "$studio" ] || kill "$studio" 2>/dev/null; rm -rf "$scratch"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$scratch/package" >/dev/null
deb=$(ls "$scratch"/package/*.deb)
dpkg-deb -f "$deb" Depends | grep -q libbox2d || { echo "the package does not depend on Box2D" >&2; exit 1; }
dpkg -x "$deb" "$scratch/root"
doc=$(dirname "$(find "$scratch/root/usr/share/doc" -maxdepth 2 -name README.md)")
[ -d "$doc/docs" ] || { echo "the package has no docs/ beside its README" >&2; exit 1; }
python3 "$links" --links-only "$doc" >"$scratch/links.txt" || { cat "$scratch/links.txt" >&2; exit 1; }
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
