#!/usr/bin/env bash
# Compares bench_xlsx with openpyxl writing the same sheet; prints both and the time ratio.
# Usage: bench/xlsx/run.sh [BUILD_DIR] [ROWS]   (build bench_xlsx first: scripts/build --target bench_xlsx)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${1:-$here/../../build}"
rows="${2:-5000}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
best() { # the fastest of three runs, as "seconds line"
  local best_s="" best_line=""
  for _ in 1 2 3; do
    line="$("$@")"
    s="$(sed -E 's/.* in ([0-9.]+) s.*/\1/' <<<"$line")"
    if [ -z "$best_s" ] || awk "BEGIN{exit !($s < $best_s)}"; then best_s="$s"; best_line="$line"; fi
  done
  echo "$best_s $best_line"
}
ours="$(best "$build/bench/xlsx/bench_xlsx" "$tmp/ours.xlsx" "$rows")"
theirs="$(best /usr/bin/python3 "$here/bench_openpyxl.py" "$tmp/openpyxl.xlsx" "$rows")"
echo "${ours#* }"
echo "${theirs#* }"
awk -v a="${ours%% *}" -v b="${theirs%% *}" 'BEGIN { printf "openpyxl time / kemnoa_xlsx time: %.1f\n", b / a }'
ls -l "$tmp"/*.xlsx | awk '{ print $5, $9 }'
