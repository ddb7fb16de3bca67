#!/usr/bin/env bash
# Runs every fuzz target for a while (seconds each, 30 by default) from its
# seed corpus in fuzz/corpus. What the runs find that is new is kept under
# build/fuzz/corpus, so the repository's seeds stay as they are. Exits
# non-zero when a target finds a crash or a broken invariant.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}

bash scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

status=0
for seeds in fuzz/corpus/*/; do
  target=$(basename "$seeds")
  work=build/fuzz/corpus/$target
  mkdir -p "$work" build/fuzz/findings
  echo "== fuzz_$target for ${seconds}s"
  if ! build/fuzz/fuzz/fuzz_"$target" "$work" "$seeds" -max_total_time="$seconds" -timeout=10 \
      -artifact_prefix=build/fuzz/findings/"$target"- -print_final_stats=1 2>build/fuzz/"$target".log; then
    status=1
    tail -n 40 build/fuzz/"$target".log
  fi
  grep -E "stat::number_of_executed_units|Done [0-9]+ runs" build/fuzz/"$target".log | tail -n 1 || true
done
exit $status
