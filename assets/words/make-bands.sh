#!/usr/bin/env bash
# Builds bands.dat, how common each word of english.dat is, from the size bands of SCOWL
# (Debian package "scowl"): the smaller the list a word first appears in, the more common it is.
#
# Layout: one byte per record of english.dat, in the same order, no header. The byte is the band
# code 0..8 of the smallest size the word appears in: 0 = size 10 (the most common words),
# 1 = 20, 2 = 35, 3 = 40, 4 = 50, 5 = 55, 6 = 60, 7 = 70, 8 = 80. The file's size therefore
# equals the number of records, which is how a reader tells a table that belongs to the list.
#
# The words are picked and ordered exactly as make-wordlist.sh does it; the script refuses to
# write a table whose words are not english.dat's, record for record.
#
# Usage: make-bands.sh [scowl-dir] [wordlist] [output]
set -euo pipefail
export LC_ALL=C

here="$(cd "$(dirname "$0")" && pwd)"
src="${1:-/usr/share/dict/scowl}"
wordlist="${2:-$here/english.dat}"
out="${3:-$here/bands.dat}"
sizes=(10 20 35 40 50 55 60 70 80)

if [ ! -f "$wordlist" ]; then
  echo "make-bands.sh: no word list $wordlist (make-wordlist.sh makes it)" >&2
  exit 1
fi

tmp="$(mktemp "$out.XXXXXX")"
lines="$(mktemp)"
trap 'rm -f "$tmp" "$lines"' EXIT

# One line per word and band: the word blank padded to 14 as in the word list, a blank, the code.
code=0
for size in "${sizes[@]}"; do
  found=0
  for f in "$src/english-words.$size" "$src/american-words.$size"; do
    [ -f "$f" ] || continue
    found=1
    tr -d '\r' <"$f" \
      | grep -x '[a-z]\{2,14\}' \
      | tr 'a-z' 'A-Z' \
      | awk -v code="$code" '{ printf "%-14s %d\n", $0, code }' >>"$lines" || true
  done
  if (( ! found )); then
    echo "make-bands.sh: no SCOWL lists of size $size in $src (apt-get install scowl)" >&2
    exit 1
  fi
  code=$((code + 1))
done

# Sorted by the padded word, then by code, the first line of each word carries its smallest band.
sorted="$(mktemp)"
trap 'rm -f "$tmp" "$lines" "$sorted"' EXIT
sort "$lines" | awk '{ w = substr($0, 1, 14); if (w != last) { print; last = w } }' >"$sorted"

if ! awk '{ printf "\036%s", substr($0, 1, 14) }' "$sorted" | cmp -s - "$wordlist"; then
  echo "make-bands.sh: the SCOWL lists in $src do not give the words of $wordlist" >&2
  exit 1
fi

awk '{ printf "%c", substr($0, 16) + 0 }' "$sorted" >"$tmp"

records=$(( $(stat -c %s "$wordlist") / 15 ))
bytes=$(stat -c %s "$tmp")
if (( bytes != records )); then
  echo "make-bands.sh: $bytes band codes for $records records" >&2
  exit 1
fi
chmod 644 "$tmp"
mv "$tmp" "$out"
echo "$out: $bytes band codes, one per record of $(basename "$wordlist")"
