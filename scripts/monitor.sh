#!/usr/bin/env bash
# The monitor on Linux: installs what is missing, builds it with the native
# preset and starts it against the simulated printer. Options go to the
# monitor (bash scripts/monitor.sh --help tells them).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/prepara.sh nativo
registro=$(mktemp)
if ! { cmake --preset native && cmake --build --preset native --target tarvic-monitor; } >"$registro" 2>&1; then
  cat "$registro" >&2
  exit 1
fi
rm -f "$registro"
exec ./build/native/tarvic-monitor "$@"
