#!/usr/bin/env bash
# The call trace of the demo session and its replay, for each manufacturer:
#   traco_demo.sh DEMO REPLAY
# The trace holds export, driver, message and return-file lines with the
# customer's CPF and the shop's CNPJ masked; it replays without divergence; a
# changed driver answer and a changed argument are each reported at their
# line; a trace file that cannot be written leaves the session as it was;
# tarvic.ini beside the program turns the trace on, TARVIC_LOG wins over it.
set -uo pipefail
demo=$1
replay=$2
base=$(mktemp -d)
trap 'rm -rf "$base"' EXIT
falhas=0
falha() { echo "FAIL: $*"; falhas=$((falhas + 1)); }

for fabricante in BEMATECH SWEDA DARUMA ELGIN DATAREGIS URANO; do
  pasta=$base/$fabricante
  mkdir -p "$pasta"
  traco=$pasta/traco.log
  TARVIC_LOG=$traco "$demo" --fabricante $fabricante --pasta "$pasta" --desliga-no-meio \
    --silencioso >/dev/null 2>&1 || falha "$fabricante: demo failed with the trace on"
  for linha in '> ecf_VendeItem ' ' D [A-Z0-9_]* [A-Za-z0-9_]* ' ' M "' ' S EscreveIni ' \
    '> set_CpfCliente "\*\*\*\.\*\*\*\.\*\*\*-09"$'; do
    grep -q -- "$linha" "$traco" || falha "$fabricante: no line matching '$linha'"
  done
  if grep -qE '123\.?456\.?789-?09|11\.?222\.?333/?0001-?81' "$traco"; then
    falha "$fabricante: CPF or CNPJ unmasked"
  fi
  saida=$("$replay" "$traco") || falha "$fabricante: replay: $saida"
  [ "$saida" = "no divergence" ] || falha "$fabricante: replay said: $saida"
done

# One recorded driver answer changed, then one argument of an export.
traco=$base/BEMATECH/traco.log
n=$(grep -n ' D BEMAFI32 Bematech_FI_VendeItem ' "$traco" | head -1 | cut -d: -f1)
sed "${n}s/ -> 1\$/ -> -6/" "$traco" >"$base/resposta.log"
saida=$("$replay" "$base/resposta.log") && falha "changed answer replayed without divergence"
echo "$saida" | grep -q "^divergence at $base/resposta.log:$((n + 1))$" ||
  falha "changed answer of line $n: $saida"
n=$(grep -n '> ecf_VendeItem .*"21,90"' "$traco" | head -1 | cut -d: -f1)
sed "${n}s/\"21,90\"/\"21,91\"/" "$traco" >"$base/argumento.log"
saida=$("$replay" "$base/argumento.log") && falha "changed argument replayed without divergence"
echo "$saida" | grep -q 'library: D BEMAFI32 Bematech_FI_VendeItem .*"21,91"' ||
  falha "changed argument of line $n: $saida"

# The same session with a trace file that cannot be written, and without one.
sessao() {
  rm -rf "$base/sessao" && mkdir -p "$base/sessao"
  "$demo" --pasta "$base/sessao" --desliga-no-meio 2>&1 | sed -E 's/[0-9]{2}:[0-9]{2}:[0-9]{2}/hh:mm:ss/g'
}
sem=$(unset TARVIC_LOG; sessao)
com=$(export TARVIC_LOG=$base/nao/existe/traco.log; sessao)
[ "$sem" = "$com" ] || falha "an unwritable trace changed the session: $(diff <(echo "$sem") <(echo "$com"))"
[ -e "$base/nao" ] && falha "an unwritable trace made a folder"

# tarvic.ini beside the program (the DLL on Windows) turns the trace on; the
# environment wins over it.
mkdir -p "$base/programa"
cp "$demo" "$base/programa/demo"
printf '[Log]\r\nArquivo=%s\r\n' "$base/ini.log" >"$base/programa/tarvic.ini"
rm -rf "$base/sessao" && mkdir -p "$base/sessao"
(unset TARVIC_LOG; "$base/programa/demo" --pasta "$base/sessao" --silencioso >/dev/null 2>&1)
grep -q '> ecf_Inicializa ' "$base/ini.log" 2>/dev/null || falha "tarvic.ini did not turn the trace on"
rm -f "$base/ini.log"
TARVIC_LOG=$base/ambiente.log "$base/programa/demo" --pasta "$base/sessao" --silencioso >/dev/null 2>&1
[ -s "$base/ambiente.log" ] && [ ! -e "$base/ini.log" ] || falha "TARVIC_LOG did not win over tarvic.ini"

[ $falhas -eq 0 ] && echo "trace and replay of the demo: ok"
exit $falhas
