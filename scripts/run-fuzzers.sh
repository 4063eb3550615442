#!/usr/bin/env bash
# Runs every built libFuzzer program for a while, seeded with (a copy of) its corpus.
# Usage: run-fuzzers.sh BUILD_DIR SECONDS
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
for fuzzer in "$build"/fuzz/*_fuzzer; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer" _fuzzer)
  work="$build/fuzz/work-$name"
  mkdir -p "$work"
  seeds=("$root/fuzz/corpus/$name")
  # The public GIF conformance suites beside the checkout make good extra GIF seeds.
  suite="${ZEFRA_TESTDATA_DIR:-$root/../shared/testdata}/gif-suite"
  if [ "$name" = gif ] && [ -d "$suite" ]; then seeds+=("$suite"); fi
  echo "== $name: ${seconds}s"
  if ! "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -artifact_prefix="$work/" "$work" "${seeds[@]}" 2>&1 | tail -n 3; then
    echo "!! $name found a crash (see $work/)"
    status=1
  fi
done
exit $status
