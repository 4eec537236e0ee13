#!/usr/bin/env bash
# A call trace written by the 32-bit tarvic.dll under 32-bit Wine, turned on
# by tarvic.ini beside the DLL, replays natively without divergence: a shop's
# trace played back on the support machine.
#   traco_wine.sh DLLS_FOLDER NATIVE_REPLAY
set -u
pasta=$1 replay=$2
if [ ! -x "$replay" ]; then
  echo "native tarvic-replay not built ($replay): build the native preset first"
  exit 1
fi
prefixo=${WINEPREFIX_TARVIC:-$pasta/../../wineprefix}
sessao=$prefixo/drive_c/tarvic-traco
rm -rf "$sessao" && mkdir -p "$sessao"
printf '[Log]\r\nArquivo=C:\\tarvic-traco\\traco.log\r\n' >"$pasta/tarvic.ini"
bash "$(dirname "$0")/roda_wine32.sh" "$pasta/demo.exe" --fabricante BEMATECH --silencioso \
  --desliga-no-meio --pasta 'C:\tarvic-traco'
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
