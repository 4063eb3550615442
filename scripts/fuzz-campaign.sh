#!/usr/bin/env bash
# One recorded fuzz campaign: runs one libFuzzer target for a number of executions (or
# seconds), at the lowest CPU priority so a shared machine stays usable, and prints the
# line to add to the table in fuzz/README.md.
# Usage: fuzz-campaign.sh BUILD_DIR TARGET RUNS [SECONDS]
#   e.g. scripts/fuzz-campaign.sh build-fuzz gif 10000000 3600
# The campaign's corpus grows in BUILD_DIR/fuzz/campaign-TARGET/ and is kept between runs;
# crash inputs land there as crash-*, to be added to fuzz/corpus/TARGET/ with the fix.
# The per-input timeout is generous: at the lowest priority on a busy machine a run can wait
# many seconds for the processor, and such a wait is not a hang (replay a timeout-* input
# with BUILD_DIR/fuzz/TARGET_fuzzer FILE at normal priority to tell).
set -euo pipefail
build=${1:?build folder}
name=${2:?target name}
runs=${3:?number of executions}
seconds=${4:-0}
root=$(cd "$(dirname "$0")/.." && pwd)
fuzzer="$build/fuzz/${name}_fuzzer"
[ -x "$fuzzer" ] || { echo "no $fuzzer (make fuzz builds it)" >&2; exit 2; }
work="$build/fuzz/campaign-$name"
mkdir -p "$work/corpus"
log="$work/$(date -u +%Y%m%dT%H%M%S).log"
limit=()
[ "$seconds" -gt 0 ] && limit=(-max_total_time="$seconds")
start=$(date +%s)
set +e
nice -n 19 "$fuzzer" -runs="$runs" "${limit[@]}" -timeout=120 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$work/" "$work/corpus" "$root/fuzz/corpus/$name" >"$log" 2>&1
status=$?
set -e
elapsed=$(( $(date +%s) - start ))
execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
echo "| $(date -u +%Y-%m-%d) | $name | ${execs:-?} | ${elapsed} s | $([ $status -eq 0 ] && echo 0 || echo "exit $status, see $work") |"
echo "log: $log" >&2
exit $status
