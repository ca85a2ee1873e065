#!/usr/bin/env bash
# Builds the benchmarks in Release (the "bench" preset), runs zv_bench and prints, per ours/reference
# pair, both median times and their ratio, then the unpaired benchmarks.
#
#   scripts/bench.sh                                  # everything, 5 repetitions
#   scripts/bench.sh --benchmark_filter='^parse/'     # any zv_bench option
#   ZV_BENCH_REPETITIONS=9 scripts/bench.sh           # more repetitions on a noisy machine
#
# The JSON output stays in build/bench/zv_bench.json (or $ZV_BENCH_JSON) for further analysis.
set -euo pipefail
cd "$(dirname "$0")/.."

repetitions=${ZV_BENCH_REPETITIONS:-5}
json=${ZV_BENCH_JSON:-build/bench/zv_bench.json}

cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null

# The console report goes to stderr as progress; the JSON to a file for the table.
build/bench/bin/zv_bench \
  --benchmark_repetitions="$repetitions" \
  --benchmark_report_aggregates_only=true \
  --benchmark_out="$json" --benchmark_out_format=json \
  "$@" 1>&2

python3 scripts/bench_table.py --chart "$json"
