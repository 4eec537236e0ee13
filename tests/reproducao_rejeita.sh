#!/usr/bin/env bash
# tarvic-replay refuses what is not a trace (exit 2, file:line and what was
# expected) apart from a divergence (exit 1), before it plays anything; it
# reads files of 50 MB within a bounded memory, shows its progress, and
# leaves no working folder behind, also when it is interrupted.
#   reproducao_rejeita.sh REPLAY
set -uo pipefail
replay=$1
base=$(mktemp -d)
trap 'rm -rf "$base"' EXIT
export TMPDIR=$base/tmp
mkdir -p "$TMPDIR"
falhas=0
falha() { echo "FAIL: $*"; falhas=$((falhas + 1)); }

c='2025-03-15T10:02:11.482 4312'
linha() { printf '%s %s\n' "$c" "$1"; }
# A trace of an earlier version (a header without version and program).
sessao() {
  linha '# tarvic inicio "/"'
  linha '> ecf_SetUF "MG"'
  linha '< ecf_SetUF 1 ecf_Retorno=0 0ms'
}
troca() { sessao | sed "$1"; }

cd "$base" || exit 1
: >vazio.log
linha '# tarvic inicio "/" "1.0.20" "PDV.exe"' >cabecalho.log
troca 's/"MG"/"M\\x"/' >escape_x.log
troca 's/"MG"/"M\\xZZ"/' >escape_xzz.log
troca 's/"MG"/"M\\q"/' >escape_q.log
{ linha '# tarvic inicio "/"'; linha '> ecf_Suprimento abc'; } >numero.log
troca 's/> ecf_SetUF/> ecf_Desconhecida/' >exportacao.log
troca 's/"MG"$/"MG" "RJ"/' >argumentos.log
{ sessao; printf '%s < ecf_S' "$c"; } >cortada.log
troca 's/"MG"/"São Paulo"/' | iconv -f UTF-8 -t CP1252 >cp1252.log
troca 's/ > / X /' >tipo.log
troca '2d' >saida.log
{ linha '# tarvic inicio "/"'; for _ in $(seq 5000); do linha '> ecf_IdFabricante'; done; } >aninhadas.log
{ linha '# tarvic inicio "/"'; linha '> ecf_SetUF "MG"'; linha '< ecf_SetUF 1 ecf_Retorno=0 0ms'; } \
  | sed 's/10:02:11/10:02:10/' >TRACO.1
{ linha '# tarvic continuacao "/"'; linha '> ecf_SetUF "RJ"'; linha '< ecf_SetUF 1 ecf_Retorno=0 0ms'; } >TRACO
cp TRACO.1 antigo.log && cp TRACO novo.log
sessao >sessao.log
sessao | sed 's/$/\r/' >windows.log
troca 's/< ecf_SetUF 1/< ecf_SetUF 0/' >diverge.log

# name | exit code | what stderr says | files
casos=(
  "empty file|2|vazio.log:1: the file is empty|vazio.log"
  "null device|2|/dev/null:1: the file is empty|/dev/null"
  "folder|2|tmp: a folder, not a trace file|tmp"
  "missing file|2|cannot read nao.log|nao.log"
  "header only|2|cabecalho.log:1: no export call in the trace|cabecalho.log"
  'escape \x|2|escape_x.log:2: bad escape \\x in a text|escape_x.log'
  'escape \xZZ|2|escape_xzz.log:2: bad escape \\xZZ in a text|escape_xzz.log'
  'escape \q|2|escape_q.log:2: bad escape \\q in a text|escape_q.log'
  "not a number|2|numero.log:2: expected a 64-bit integer .* of ecf_Suprimento \\(valor\\), not abc|numero.log"
  "unknown export|2|exportacao.log:2: unknown export ecf_Desconhecida|exportacao.log"
  "argument count|2|argumentos.log:2: ecf_SetUF takes 1 argument, the line has 2|argumentos.log"
  "cut last line|2|cortada.log:4: the last line is cut short|cortada.log"
  "Windows-1252 text|2|cp1252.log:2: not UTF-8 .*saved again in another encoding|cp1252.log"
  "unknown record|2|tipo.log:2: unknown record 'X'|tipo.log"
  "export left, never entered|2|saida.log:2: '< ecf_SetUF' leaves an export that was not entered|saida.log"
  "5,000 nested exports|2|aninhadas.log:34: more than 32 exports entered without being left|aninhadas.log"
  "TRACE before TRACE.1|2|TRACO.1:1: files given out of order: TRACO.1 holds the older lines|TRACO TRACO.1"
  "newer file first|2|antigo.log:1: files given out of order|novo.log antigo.log"
  "TRACE.1 then TRACE|0||TRACO.1 TRACO"
  "a trace of an earlier version|0|sessao.log:1: program and library version not recorded|sessao.log"
  "CR LF lines|0||windows.log"
  "a divergence|1||diverge.log"
)
for caso in "${casos[@]}"; do
  IFS='|' read -r nome codigo diz arquivos <<<"$caso"
  # shellcheck disable=SC2086
  saida=$("$replay" $arquivos 2>"$base/erro")
  r=$?
  erro=$(cat "$base/erro")
  [ $r -eq "$codigo" ] || falha "$nome: exit $r, not $codigo: $saida $erro"
  [ -z "$diz" ] || grep -qE -- "^tarvic-replay: $diz" "$base/erro" || falha "$nome: said '$erro'"
  case $codigo in
    0) [ "$saida" = "no divergence" ] || falha "$nome: printed '$saida'" ;;
    1) echo "$saida" | grep -q '^divergence at diverge.log:3$' || falha "$nome: printed '$saida'" ;;
    2) [ -z "$saida" ] || falha "$nome: printed '$saida' for what is not a trace" ;;
  esac
done

"$replay" --help | grep -q '^usage: tarvic-replay ' || falha "--help gives no usage"
"$replay" --ajuda >/dev/null 2>&1
[ $? -eq 2 ] || falha "an unknown option is not refused with exit 2"

# 51 MB of headers, then the same with one export at the end: read within
# 100 MB of address space (the whole file held as records takes six times
# its size), with the progress on standard error only.
linha '# tarvic inicio "/"' >um
yes "$(cat um)" | head -n 1086957 >grande.log  # 51 MB
(ulimit -v 100000 && exec "$replay" grande.log) >/dev/null 2>"$base/erro"
r=$?
[ $r -eq 2 ] && grep -q 'no export call in the trace (1086957 lines' "$base/erro" ||
  falha "51 MB of headers: exit $r: $(cat "$base/erro")"
sessao | tail -2 >>grande.log
saida=$(ulimit -v 100000 && exec "$replay" --progress 0 grande.log 2>"$base/erro")
r=$?
[ $r -eq 0 ] && [ "$saida" = "no divergence" ] || falha "51 MB, one export at its end: exit $r: $saida"
grep -qE '^tarvic-replay: (checking|replaying) grande.log:[0-9]+ \([0-9]+ of [0-9]+ MB\)$' "$base/erro" ||
  falha "no progress shown: $(head -3 "$base/erro")"

# Interrupted while it replays: its working folder goes with it.
{ linha '# tarvic inicio "/"'; yes "$(sessao | tail -2)" | head -n 300000; } >longo.log
"$replay" longo.log >/dev/null 2>&1 &
pid=$!
for _ in $(seq 100); do
  compgen -G "$TMPDIR/tarvic-replay-*" >/dev/null && break
  sleep 0.1
done
compgen -G "$TMPDIR/tarvic-replay-*" >/dev/null || falha "no working folder seen while replaying"
kill -TERM $pid
wait $pid
r=$?
[ $r -eq 143 ] || falha "interrupted replay: exit $r, not 143 (SIGTERM)"
compgen -G "$TMPDIR/tarvic-replay-*" >/dev/null && falha "working folder left: $(ls "$TMPDIR")"
"$replay" sessao.log >/dev/null 2>&1
compgen -G "$TMPDIR/tarvic-replay-*" >/dev/null && falha "working folder left after a replay"

[ $falhas -eq 0 ] && echo "replay refuses what is not a trace: ${#casos[@]} cases, big files, interruption: ok"
exit $falhas
