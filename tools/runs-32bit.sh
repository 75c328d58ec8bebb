#!/usr/bin/env bash
# Exits 0 when this machine executes 32-bit (i386) Linux programs, which the
# 32-bit Wine needs; 1 when it cannot. Asks the kernel by running one: a
# package database says only what is installed, not what can run.
set -u
# VELMORA_NO_32BIT=1 plays a machine that runs none, to try that path on one that does.
[ "${VELMORA_NO_32BIT:-}" = 1 ] && exit 1
probe=$(mktemp "${TMPDIR:-/tmp}/velmora-i386.XXXXXX")
trap 'rm -f "$probe"' EXIT
# The smallest static i386 program: an ELF header, one loadable segment and
# "exit(42)" through int 0x80; no library, so nothing else can fail.
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000' >"$probe"
printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$probe"
printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000' >>"$probe"
printf '\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010' >>"$probe"
printf '\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000' >>"$probe"
printf '\000\020\000\000\270\001\000\000\000\273\052\000\000\000\315\200' >>"$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
[ $? -eq 42 ]
