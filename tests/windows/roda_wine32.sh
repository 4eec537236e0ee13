#!/usr/bin/env bash
# Runs a 32-bit Windows program of the win32 build under 32-bit Wine, from the
# program's own folder (the DLLs it loads are beside it), and exits with its
# status:
#   tests/windows/roda_wine32.sh build/win32/simulador/dlls/demo.exe --fabricante SWEDA
# The loader is TARVIC_WINE32, else the one the win32 build found
# (scripts/wine32.sh installs it); the Wine prefix is WINEPREFIX_TARVIC, else
# build/win32/wineprefix. TARVIC_LIMPA_PASTA names a folder removed first.
set -u
raiz=$(cd "$(dirname "$0")/../.." && pwd)
cache=$raiz/build/win32/CMakeCache.txt
wine=${TARVIC_WINE32:-$(sed -n 's/^TARVIC_WINE32:FILEPATH=//p' "$cache" 2>/dev/null)}
if [ -z "$wine" ] || [ ! -x "$wine" ]; then
  echo "32-bit Wine could not be had (${wine:-no TARVIC_WINE32}): bash scripts/wine32.sh" \
    "installs it or says why it cannot, then configure the win32 preset again" >&2
  exit 1
fi
if [ $# -lt 1 ] || [ ! -f "$1" ]; then
  echo "usage: $0 PROGRAM.exe [ARGS...] (no program ${1:-given})" >&2
  exit 2
fi
pasta=$(cd "$(dirname "$1")" && pwd) programa=$(basename "$1")
shift
export WINEARCH=win32 WINEPREFIX=${WINEPREFIX_TARVIC:-$raiz/build/win32/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX" && WINEPREFIX=$(cd "$WINEPREFIX" && pwd) || exit 1
# The server of the same build as the loader, whatever else is installed.
[ -x "$(dirname "$wine")/wineserver32" ] && export WINESERVER="$(dirname "$wine")/wineserver32"
# Wine's own background processes are started first, away from the
# program's output: started by the program they would hold that output open
# as long as they linger, and whoever reads it would wait for them. They stay
# a few seconds for the next run.
"${WINESERVER:-$(dirname "$wine")/wineserver}" -p5 </dev/null >/dev/null 2>&1
"$wine" cmd /c exit </dev/null >/dev/null 2>&1
[ -n "${TARVIC_LIMPA_PASTA:-}" ] && rm -rf "$TARVIC_LIMPA_PASTA"
cd "$pasta" || exit 1
# Wine's note that it has no 32-bit FreeType (console programs draw no text)
# goes; the program's standard output stays apart from its errors.
sem_freetype() {
  grep -v -e 'Wine cannot find the FreeType font library' -e 'use TrueType fonts please install' \
    -e 'or equal to 2\.0\.5' -e '^http://www\.freetype\.org$' >&2
}
{ "$wine" "$programa" "$@" 2>&1 1>&3 3>&- | sem_freetype; } 3>&1
status=${PIPESTATUS[0]}
[ $status -eq 0 ] || echo "$programa ended with $status under 32-bit Wine ($wine)" >&2
exit $status
