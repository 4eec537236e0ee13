#!/usr/bin/env bash
# Every test: the native suite (library, simulator, the demo's day under
# valgrind), the checks of the 32-bit tarvic.dll and its hosts' runs under
# 32-bit Wine (after native: a trace they write is replayed by the native
# tarvic-replay), one 64-bit host under wine64, the thread test under
# ThreadSanitizer, the library's suite and the hostile sweep under
# AddressSanitizer and UBSan, and a short run of every fuzz target.
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

echo "== native-asan"
cmake --preset native-asan >/dev/null
# Only the library's suite and the sweep: their cases are the ones run here.
cmake --build --preset native-asan --target testes_tarvic varredura_hostil
ctest --preset native-asan -R '^[A-Za-z0-9_]+\.|^varredura_hostil$'
echo "== fuzz"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz
