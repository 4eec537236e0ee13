#!/usr/bin/env bash
# Every test: the native suite (library, simulator), the checks of the 32-bit
# tarvic.dll, the Windows host runs under wine64, and the thread test under
# ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/prepara.sh
for preset in native win32 win64; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
# Two host threads at once, under ThreadSanitizer: only what that test needs.
echo "== native-tsan"
cmake --preset native-tsan >/dev/null
cmake --build --preset native-tsan
ctest --preset native-tsan
