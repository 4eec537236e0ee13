#!/usr/bin/env bash
# Runs a Windows host program under wine64 in a folder with tarvic.dll and the
# stand-in drivers. Fails loudly when wine64 cannot start.
set -u
wine=$1 pasta=$2 dll=$3 programa=$4
shift 4
if ! command -v "$wine" >/dev/null 2>&1 && [ ! -x "$wine" ]; then
  echo "wine64 not found ($wine): install wine64 to run the Windows tests" >&2
  exit 1
fi
cp -f "$dll" "$pasta/" || exit 1
export WINEPREFIX="${WINEPREFIX_TARVIC:-$pasta/../wineprefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
cd "$pasta" || exit 1
"$wine" "$programa" "$@"
status=$?
[ $status -eq 0 ] || echo "$programa ended with $status under $wine" >&2
exit $status
