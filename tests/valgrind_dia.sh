#!/usr/bin/env bash
# A simulated day with the Z reduction under valgrind: the demo's whole session
# for one manufacturer, on a new printer, must show no memory error and lose
# no memory.
#   valgrind_dia.sh VALGRIND DEMO FABRICANTE
set -euo pipefail
valgrind=$1 demo=$2 fabricante=$3
if ! command -v "$valgrind" >/dev/null; then
  echo "valgrind não encontrado: instale-o com scripts/prepara.sh" >&2
  exit 1
fi
pasta=$(mktemp -d)
trap 'rm -rf "$pasta"' EXIT
TARVIC_SIM_ESTADO="$pasta/estado.json" "$valgrind" -q --error-exitcode=99 --leak-check=full \
  --errors-for-leak-kinds=definite,indirect --show-leak-kinds=definite,indirect \
  "$demo" --fabricante "$fabricante" --reducao-z --pasta "$pasta" --silencioso
