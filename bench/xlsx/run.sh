#!/usr/bin/env bash
# Compares bench_xlsx with libxlsxwriter (the speed anchor, when built) and openpyxl writing the same
# sheet; prints each, the time and peak-memory ratios and the file sizes.
# Usage: bench/xlsx/run.sh [BUILD_DIR] [ROWS]
#   (build first: scripts/build --target bench_xlsx bench_libxlsxwriter)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${1:-$here/../../build}"
rows="${2:-5000}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
best() { # the fastest of five runs, as "seconds line"
  local best_s="" best_line=""
  for _ in 1 2 3 4 5; do
    line="$("$@")"
    s="$(sed -E 's/.* in ([0-9.]+) s.*/\1/' <<<"$line")"
    if [ -z "$best_s" ] || awk "BEGIN{exit !($s < $best_s)}"; then best_s="$s"; best_line="$line"; fi
  done
  echo "$best_s $best_line"
}
memory() { sed -E 's/.*peak memory ([0-9.]+) MiB.*/\1/' <<<"$1"; }
ours="$(best "$build/bench/xlsx/bench_xlsx" "$tmp/ours.xlsx" "$rows")"
echo "${ours#* }"
if [ -x "$build/bench/xlsx/bench_libxlsxwriter" ]; then
  anchor="$(best "$build/bench/xlsx/bench_libxlsxwriter" "$tmp/libxlsxwriter.xlsx" "$rows")"
  echo "${anchor#* }"
  awk -v a="${ours%% *}" -v b="${anchor%% *}" -v ma="$(memory "$ours")" -v mb="$(memory "$anchor")" \
    'BEGIN { printf "kemnoa_xlsx / libxlsxwriter: time %.2f, peak memory %.2f\n", a / b, ma / mb }'
else
  echo "libxlsxwriter: not built (Debian libxlsxwriter-dev)"
fi
theirs="$(best /usr/bin/python3 "$here/bench_openpyxl.py" "$tmp/openpyxl.xlsx" "$rows")"
echo "${theirs#* }"
awk -v a="${ours%% *}" -v b="${theirs%% *}" 'BEGIN { printf "openpyxl time / kemnoa_xlsx time: %.1f\n", b / a }'
ls -l "$tmp"/*.xlsx | awk '{ print $5, $9 }' | sed "s|$tmp/||"
