#!/usr/bin/env bash
# Fails when a global symbol has an ordinary (strong) definition in one object of the
# project's static libraries and any other definition in another. Two inline copies of
# one function are fine (the linker keeps one, and they are the same code); a strong
# definition beside an inline one is not: the linker silently takes the strong one, and
# which code a caller runs then depends on whether the compiler inlined its copy.
#
# Inline functions and template instances are weak (W, V, u) in ELF objects; in PE
# objects they sit in a section of their own named ".text$SYMBOL" (COMDAT), which nm
# lists beside the symbol. Debug trees keep every inline copy out of line, so they show
# a clash that an optimised tree may hide.
#
# Usage: single_definitions.sh NM ARCHIVE...
set -euo pipefail
NM=$1
shift
(($#)) || { echo "no archives given" >&2; exit 2; }

for archive in "$@"; do
  [ -f "$archive" ] || { echo "missing archive: $archive" >&2; exit 1; }
done

"$NM" -A --defined-only "$@" | awk '
  NF < 2 { next }
  # archive:object:[address] TYPE NAME (the address is blank for absolute symbols)
  {
    name = $NF
    type = $(NF - 1)
    where = $1
    sub(/:[0-9a-fA-F]*$/, "", where)
    if (name ~ /^\./) {           # a section symbol: ".text$_Z..." marks a COMDAT copy
      n = index(name, "$")
      if (n > 0) comdat[where SUBSEP substr(name, n + 1)] = 1
      next
    }
    if (type !~ /^[TDBRWVuGS]$/) next   # locals (lower case), undefined, debug
    count++
    objects[count] = where
    names[count] = name
    types[count] = type
  }
  END {
    for (i = 1; i <= count; i++) {
      name = names[i]
      weak = types[i] ~ /^[WVu]$/ || ((objects[i] SUBSEP name) in comdat)
      defined[name]++
      list[name] = list[name] "\n    " objects[i] (weak ? " (inline)" : "")
      if (!weak) strong[name]++
    }
    clashes = 0
    for (name in defined) {
      if (!(name in strong) || defined[name] < 2) continue
      printf "defined twice: %s%s\n", name, list[name]
      clashes++
    }
    if (clashes) { printf "%d symbol(s) defined more than once\n", clashes; exit 1 }
    printf "no symbol defined twice in %d definitions\n", count
  }'
