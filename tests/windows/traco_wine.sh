#!/usr/bin/env bash
# A call trace written by tarvic.dll under wine64, turned on by tarvic.ini
# beside the DLL, replays natively without divergence: a shop's trace played
# back on the support machine.
#   traco_wine.sh WINE64 DLLS_FOLDER TARVIC_DLL NATIVE_REPLAY
set -u
wine=$1 pasta=$2 dll=$3 replay=$4
if [ ! -x "$replay" ]; then
  echo "native tarvic-replay not built ($replay): build the native preset first"
  exit 77
fi
prefixo=${WINEPREFIX_TARVIC:-$pasta/../wineprefix}
sessao=$prefixo/drive_c/tarvic-traco
rm -rf "$sessao" && mkdir -p "$sessao"
printf '[Log]\r\nArquivo=C:\\tarvic-traco\\traco.log\r\n' >"$pasta/tarvic.ini"
bash "$(dirname "$0")/roda_wine.sh" "$wine" "$pasta" "$dll" demo.exe --fabricante BEMATECH \
  --silencioso --desliga-no-meio --pasta 'C:\tarvic-traco'
status=$?
rm -f "$pasta/tarvic.ini"
[ $status -eq 0 ] || exit $status
if ! grep -q '# tarvic inicio "\\\\"' "$sessao/traco.log" 2>/dev/null; then
  echo "no trace beside the session: tarvic.ini beside tarvic.dll was not read"
  exit 1
fi
saida=$("$replay" "$sessao/traco.log")
echo "$saida"
[ "$saida" = "no divergence" ]
