#!/usr/bin/env bash
# Makes the Wine prefix $1 (WINEPREFIX) once: later runs find it ready.
set -euo pipefail
prefix=$1
export WINEPREFIX=$prefix
if [[ -f "$prefix/system.reg" ]]; then
  exit 0
fi
mkdir -p "$prefix"
wine=$(command -v wine || command -v wine64)
"$wine" wineboot --init
wineserver -w
test -f "$prefix/system.reg"
