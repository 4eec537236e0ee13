#!/usr/bin/env bash
# The demo: installs what is missing, builds the native preset and runs a
# shop's session against the simulated printer. Options go to the demo
# (--fabricante NOME, --uf UF, --pasta PASTA, --desliga-no-meio).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/prepara.sh nativo
registro=$(mktemp)
if ! { cmake --preset native && cmake --build --preset native --target demo; } >"$registro" 2>&1; then
  cat "$registro" >&2
  exit 1
fi
rm -f "$registro"
exec ./build/native/tarvic_demo "$@"
