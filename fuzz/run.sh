#!/usr/bin/env bash
# Runs every fuzz target for a bounded time on a scratch copy of its seed corpus, so that what
# a run finds never changes the checked-in seeds. Usage: fuzz/run.sh BUILD_DIR [SECONDS]
set -euo pipefail
build=${1:?build directory}
seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
passed=0
failed=0
for target in fuzz_device_text fuzz_plc_address fuzz_record fuzz_text fuzz_skip_value fuzz_scanner; do
  mkdir -p "$scratch/$target"
  echo "== $target (${seconds}s)"
  if ! "$build/bin/$target" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$scratch/" "$scratch/$target" "$here/corpus/$target" \
       > "$scratch/$target.log" 2>&1; then
    tail -40 "$scratch/$target.log"
    ls "$scratch"/crash-* "$scratch"/leak-* "$scratch"/timeout-* 2>/dev/null | head -3 | while read -r f; do
      echo "input: $(od -An -c "$f" | head -5)"
    done
    status=1
    failed=$((failed + 1))
  else
    passed=$((passed + 1))
    grep -E '^stat::number_of_executed_units|Done [0-9]+ runs' "$scratch/$target.log" | tail -1
  fi
done
echo "fuzz: $passed passed, $failed failed"
exit $status
