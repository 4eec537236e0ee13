#!/usr/bin/env bash
# The hostile sweep for as long as wanted: every export with hostile arguments
# against a driver that answers hostilely, under AddressSanitizer and UBSan.
#   bash scripts/varredura.sh [CHAMADAS [SEMENTE]]
# Defaults: 5000000 calls and a new seed, printed at the end (and, with the
# calls of the round, on a failure).
set -euo pipefail
cd "$(dirname "$0")/.."
chamadas=${1:-5000000}
semente=${2:-aleatoria}
bash scripts/prepara.sh nativo
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan --target varredura_hostil
exec ./build/native-asan/tests/varredura_hostil --chamadas "$chamadas" --semente "$semente"
