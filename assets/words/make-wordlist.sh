#!/usr/bin/env bash
# Builds english.dat, the word list the program carries, from SCOWL (Debian package "scowl").
#
# Record layout: 15 bytes each, back to back, no header: the marker byte 0x1E, then the word in
# capitals, left-aligned and blank-padded to 14 bytes. Records are sorted by that 14-byte field
# compared as unsigned bytes, which is the order the lookup's binary search relies on.
#
# Kept: every word of the english-words.N and american-words.N lists with N <= 80 that is made
# of 2 to 14 lower-case letters a-z. Anything else (capitals, apostrophes, accented letters in
# whatever encoding the lists use) is dropped.
#
# Usage: make-wordlist.sh [scowl-dir] [output]
set -euo pipefail
export LC_ALL=C

here="$(cd "$(dirname "$0")" && pwd)"
src="${1:-/usr/share/dict/scowl}"
out="${2:-$here/english.dat}"
maxsize=80

lists=()
for f in "$src"/english-words.* "$src"/american-words.*; do
  [ -f "$f" ] || continue
  size="${f##*.}"
  [[ "$size" =~ ^[0-9]+$ ]] || continue
  (( 10#$size <= maxsize )) && lists+=("$f")
done
if [ ${#lists[@]} -eq 0 ]; then
  echo "make-wordlist.sh: no SCOWL word lists in $src (apt-get install scowl)" >&2
  exit 1
fi

tmp="$(mktemp "$out.XXXXXX")"
trap 'rm -f "$tmp"' EXIT

# grep works on bytes under LC_ALL=C, so any byte outside a-z (Latin-1 or UTF-8) rejects the line.
cat "${lists[@]}" \
  | tr -d '\r' \
  | grep -x '[a-z]\{2,14\}' \
  | tr 'a-z' 'A-Z' \
  | awk '{ printf "%-14s\n", $0 }' \
  | sort -u \
  | awk '{ printf "\036%s", $0 }' >"$tmp"

bytes=$(stat -c %s "$tmp")
if (( bytes == 0 || bytes % 15 != 0 )); then
  echo "make-wordlist.sh: output size $bytes is not a whole number of 15-byte records" >&2
  exit 1
fi
chmod 644 "$tmp"
mv "$tmp" "$out"
trap - EXIT
echo "$out: $((bytes / 15)) records, $bytes bytes (from ${#lists[@]} lists)"
