#!/usr/bin/env bash
# Runs a Windows program under Wine for ctest. Its output goes to a file
# first: with a pipe on its standard output Wine keeps the pipe open about a
# second after the program ended, and every test would pay for it.
out=$(mktemp)
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
tr -d '\r' <"$out"
rm -f "$out"
exit $rc
