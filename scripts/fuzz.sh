#!/usr/bin/env bash
# The fuzz targets for millions of inputs each, from their seed corpora
# (fuzz/corpus/<target>); what they find new stays in build/fuzz/fuzz/novos.
#   bash scripts/fuzz.sh [EXECUCOES [ALVO...]]
# Defaults: 10000000 inputs for every target; FUZZ_SEGUNDOS=N also stops each
# target after N seconds. A finding stops its target and leaves the input as
# build/fuzz/fuzz/<target>-crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."
execucoes=${1:-10000000}
shift || true
bash scripts/prepara.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
cd build/fuzz/fuzz
alvos=("$@")
[ ${#alvos[@]} -gt 0 ] || alvos=(fuzz_numeros fuzz_datas fuzz_texto_impressao fuzz_ini
                                fuzz_respostas fuzz_estado_simulador fuzz_requisicao)
resultado=0
for alvo in "${alvos[@]}"; do
  mkdir -p "novos/$alvo"
  inicio=$(date +%s)
  if ./"$alvo" -runs="$execucoes" -max_total_time="${FUZZ_SEGUNDOS:-0}" -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$alvo-" \
      "novos/$alvo" "../../../fuzz/corpus/$alvo" >"$alvo.log" 2>&1; then
    estado="nenhum achado"
  else
    estado="ACHADO (build/fuzz/fuzz/$alvo.log)"
    resultado=1
  fi
  feitas=$(grep -o 'number_of_executed_units: [0-9]*' "$alvo.log" | grep -o '[0-9]*$' || echo 0)
  echo "$alvo: $feitas execuções em $(( $(date +%s) - inicio )) s: $estado"
done
exit $resultado
