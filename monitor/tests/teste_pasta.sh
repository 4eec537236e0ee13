#!/usr/bin/env bash
# File mode, as a host without sockets drives it, in shell: each request file
# is written under another name and renamed to NAME.cmd when whole; the reply
# is NAME.resp. A coupon goes through; a file still being written (under its
# working name, or as NAME.cmd without its last line break) is not run.
#   teste_pasta.sh MONITOR
set -euo pipefail
monitor=$1
trabalho=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$trabalho"' EXIT
falha() {
  echo "FAIL $*" >&2
  echo "--- the monitor said:" >&2
  cat "$trabalho/saida" >&2
  exit 1
}
pasta=$trabalho/comandos

TARVIC_SIM_ESTADO=$trabalho "$monitor" --escuta 127.0.0.1:0 --http nao --pasta-comandos "$pasta" \
  --traco "$trabalho/traco.log" --intervalo-pasta 50 >"$trabalho/saida" 2>&1 &
pid=$!
for _ in $(seq 300); do
  grep -q '^traco ' "$trabalho/saida" && break
  sleep 0.1
done
grep -q '^traco ' "$trabalho/saida" || falha "the monitor did not start"
[ "$(stat -c %a "$pasta")" = 700 ] || falha "the command folder is not 0700"

# envia NAME LINE...: the request file written aside and renamed whole.
envia() {
  local nome=$1
  shift
  printf '%s\n' "$@" >"$pasta/$nome.escrevendo"
  mv "$pasta/$nome.escrevendo" "$pasta/$nome.cmd"
}
espera() {
  for _ in $(seq 300); do
    [ -e "$pasta/$1.resp" ] && break
    sleep 0.05
  done
  [ -e "$pasta/$1.resp" ] || falha "no $1.resp"
  [ ! -e "$pasta/$1.cmd" ] || falha "$1.cmd was left in the folder"
}
todas_verdadeiras() {
  local linhas
  linhas=$(wc -l <"$pasta/$1.resp")
  [ "$linhas" -eq "$2" ] || falha "$1.resp has $linhas replies, not $2: $(cat "$pasta/$1.resp")"
  [ "$(grep -c '"resultado":true,' "$pasta/$1.resp")" -eq "$2" ] ||
    falha "$1: a call failed: $(cat "$pasta/$1.resp")"
}

envia inicio '{"id": 1, "funcao": "ecf_Inicializa", "args": ["BEMATECH", "COM1", "'"$trabalho"'"]}'
espera inicio
todas_verdadeiras inicio 1

envia venda \
  '{"id": 1, "funcao": "ecf_AbreCupom"}' \
  '{"id": 2, "funcao": "ecf_VendeItem", "args": ["7891000100103", "ARROZ 5KG", "UN", 0, "01", 0, "2", "21,90", "$", "0", 0, false, 1]}' \
  '{"id": 3, "funcao": "ecf_VendeItem", "args": ["7891000300307", "CAFÉ 500G", "UN", 0, "01", 0, "1", "15,75", "$", "0", 0, false, 2]}' \
  '{"id": 4, "funcao": "ecf_IniciaFechamentoCupom", "args": ["D", "0"]}' \
  '{"id": 5, "funcao": "ecf_EfetuaFormaPagto", "args": ["Dinheiro", 600000]}' \
  '{"id": 6, "funcao": "ecf_TerminaFechamentoCupom", "args": ["Obrigado!"]}'
espera venda
todas_verdadeiras venda 6
grep -q "CAFÉ 500G" "$trabalho/tarvic_sim_BEMATECH.bobina.txt" || falha "the coupon is not on the tape"

# Still being written: under its working name, and in place without its last line break.
printf '%s\n' '{"id": 1, "funcao": "ecf_Suprimento", "args": [100000]}' >"$pasta/meia.escrevendo"
printf '%s' '{"id": 1, "funcao": "ecf_Suprimento", "args": [200000]}' >"$pasta/direto.cmd"
sleep 0.5
[ ! -e "$pasta/meia.resp" ] && [ ! -e "$pasta/direto.resp" ] || falha "a file being written was run"
! grep -q '> ecf_Suprimento' "$trabalho/traco.log" || falha "a file being written was called"
printf '\n' >>"$pasta/direto.cmd"
espera direto
todas_verdadeiras direto 1

envia total '{"id": "gt", "funcao": "ecf_GtAtu"}' '{"id": "lixo", "funcao": "ecf_GtAtu", "args": [1]}'
espera total
grep -q '^{"id":"gt","resultado":595500,' "$pasta/total.resp" ||
  falha "grand total: $(cat "$pasta/total.resp")"
grep -q '^{"id":"lixo","erro":"ecf_GtAtu recebe 0 argumentos, vieram 1"}$' "$pasta/total.resp" ||
  falha "refusal: $(cat "$pasta/total.resp")"
kill "$pid"
wait "$pid" || falha "the monitor ended badly"
pid=
echo "ok file mode: a coupon through the folder; files being written are not run"
