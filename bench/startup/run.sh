#!/usr/bin/env bash
# Measures start-up of the desktop program to its login window on a demo program folder:
# settings file, SQLite databases (created and seeded when the job runner offers init-db/seed-demo),
# start-up checks, login window shown, then the program quits at once (--quit-at-login).
#   bench/startup/run.sh [RUNS]          (default 20 runs; uses hyperfine when installed)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${KEMNOA_BUILD_DIR:-$here/build}"
runs="${1:-20}"
"$here/scripts/build" --target kemnoa kemnoa-cli >/dev/null

gui="$build/src/app/gui/kemnoa"
cli="$build/src/app/cli/kemnoa-cli"
home="$(mktemp -d /tmp/kemnoa-bench.XXXXXX)"
trap 'rm -rf "$home"' EXIT
mkdir -p "$home"/{recv,po,kakunin}
"$here/scripts/demo-settings" "$home"
export KEMNOA_HOME="$home" QT_QPA_PLATFORM=offscreen
# Each command is skipped when this build's job runner does not have it yet.
for command in init-db seed-demo; do
  if "$cli" --help 2>&1 | grep -q "^  $command "; then
    "$cli" "$command" >/dev/null
  fi
done

# One run must reach the login window and end cleanly.
"$gui" --quit-at-login 2>/dev/null

if command -v hyperfine >/dev/null; then
  hyperfine --warmup 2 --runs "$runs" --shell=none "$gui --quit-at-login"
  exit 0
fi

times=()
for _ in $(seq 2); do "$gui" --quit-at-login 2>/dev/null; done # warm-up
for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  "$gui" --quit-at-login 2>/dev/null
  end=$(date +%s%N)
  times+=($(( (end - start) / 1000 )))
done
printf '%s\n' "${times[@]}" | sort -n | awk -v runs="$runs" '
  { t[NR] = $1; sum += $1 }
  END {
    printf "start-up to login window, %d runs: min %.1f ms, median %.1f ms, mean %.1f ms, max %.1f ms\n",
      runs, t[1] / 1000, t[int((NR + 1) / 2)] / 1000, sum / NR / 1000, t[NR] / 1000
  }'
