#!/usr/bin/env bash
# The whole fault-injection matrix: a fault at every driver call of the
# scripted sale, for each manufacturer and each fault, two manufacturers at
# a time (CI runs a subset). Ends with the number of injections and of
# invariant checks that held.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/prepara.sh nativo
cmake --preset native >/dev/null
cmake --build --preset native --target simulador_substitutos_testes
saida=$(mktemp)
trap 'rm -f "$saida"' EXIT
printf '%s\n' BEMATECH SWEDA DARUMA ELGIN DATAREGIS URANO |
  TARVIC_MATRIZ_COMPLETA=1 xargs -P2 -I{} \
    ./build/native/simulador/simulador_substitutos_testes \
    --gtest_filter='Fabricantes/Matriz.*/{}' --gtest_brief=1 >"$saida" 2>&1 || {
  cat "$saida"
  exit 1
}
grep '^matriz ' "$saida"
awk '/^matriz /{i += $3; c += $5} END {printf "total: %d injecoes, %d conferencias\n", i, c}' "$saida"
