#!/usr/bin/env bash
# Writes a hall of fame file (count 20, then 20 entries of 256 name bytes and a little-endian 32-bit score) from
# lines "<score> <name>"; missing entries are empty with score 0.
#   make_hiscore.sh <entries.txt> <hiscore.dat>
set -euo pipefail
le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))\\x$(printf %02x $((($1 >> 16) & 255)))\\x$(printf %02x $((($1 >> 24) & 255)))"; }
{
  le32 20
  n=0
  while read -r score name; do
    [ -z "$score" ] && continue
    printf '%s' "$name"; head -c $((256 - ${#name})) /dev/zero
    le32 "$score"
    n=$((n + 1))
  done < "$1"
  while [ $n -lt 20 ]; do head -c 260 /dev/zero; n=$((n + 1)); done
} > "$2"
