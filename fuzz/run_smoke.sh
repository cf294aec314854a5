#!/usr/bin/env bash
# Runs one fuzz target over its seed corpus, then a fixed number of new executions.
# Usage: run_smoke.sh TARGET CORPUS_DIR WORK_DIR
set -euo pipefail
target=$1 corpus=$2 work=$3
runs=${LIFT_FUZZ_RUNS:-5000}
rm -rf "$work"; mkdir -p "$work/corpus" "$work/artifacts"
if [ -d "$corpus" ]; then cp -r "$corpus"/. "$work/corpus/" 2>/dev/null || true; fi
cd "$work"
exec "$target" -runs="$runs" -seed=1 -max_len=65536 -timeout=25 -rss_limit_mb=4096 \
  -artifact_prefix="$work/artifacts/" "$work/corpus"
