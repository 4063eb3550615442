#!/usr/bin/env bash
# Runs every benchmark program of a build. Usage: run-benchmarks.sh BUILD_DIR
set -euo pipefail
build=${1:-build}
for b in "$build"/bench/*_bench; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b"
done
