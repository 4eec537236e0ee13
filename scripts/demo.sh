#!/usr/bin/env bash
# The demo: installs what is missing, builds the native preset and runs a
# shop's session against the simulated printer. Options go to the demo
# (--fabricante NOME, --uf UF, --pasta PASTA).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/prepara.sh
cmake --preset native >/dev/null
cmake --build --preset native --target demo >/dev/null
exec ./build/native/tarvic_demo "$@"
