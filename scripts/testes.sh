#!/usr/bin/env bash
# Every test: the native suite (library, simulator), the checks of the 32-bit
# tarvic.dll, and the Windows host runs under wine64.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/prepara.sh
for preset in native win32 win64; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
