#!/usr/bin/env bash
# The benchmarks, in a Release build of their own (build/bench): the
# library's cost per sale-path export against drivers that do nothing, and a
# day of 1,000 coupons through the library and the simulated printer.
# Options go to Google Benchmark (e.g. --benchmark_filter=BEMATECH).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/prepara.sh nativo
cmake --preset native -B build/bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build/bench --target bench_exportacoes bench_dia bench_monitor
./build/bench/bench/bench_exportacoes "$@"
./build/bench/bench/bench_dia "$@"
./build/bench/bench/bench_monitor "$@"
