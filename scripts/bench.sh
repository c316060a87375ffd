#!/usr/bin/env bash
# Usage: scripts/bench.sh [--runs N]
# Builds the benchmarks (build tree build-bench, or VT_BENCH_BUILD_DIR) and runs them all under Wine in
# a prefix of their own, then prints one table. Each row compares the tool with the floor (the fewest
# direct calls doing the same work) and with an alternative, as ratios of medians over N runs (7 by
# default) in which every side runs once per round, one after the other.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
build="${VT_BENCH_BUILD_DIR:-$VT_ROOT/build-bench}"

if ! vt_inside_wine "$@"; then
  vt_build "$build" vt_benchmarks
  # Every registry call is a round trip between a Wine process and wineserver; with the two on
  # different cores of this kind of virtual machine a round trip costs several times more, and
  # unevenly. On one core the same run repeats within a few per cent.
  if command -v taskset >/dev/null 2>&1; then VT_CPU_PIN="taskset -c $(($(nproc) - 1))"; fi
  vt_rerun_in_wine "$build/bench-prefix" "$@"
fi
shift

# --- From here on inside the Wine environment of the bench prefix. ---
out="$(mktemp)"
finish() {
  # Scratch keys of a benchmark that died before its own clean-up.
  wine "$build/bench/vt_bench_sweep.exe" </dev/null || true
  rm -f "$out"
}
trap finish EXIT

status=0
# The write benchmark twice: 500 and 2,000 extensions give the cost per extension (the slope)
# apart from what a process start costs.
for bench in read write "write --extensions 2000" window; do
  echo "bench: running $bench ..." >&2
  name="${bench%% *}"
  own="${bench#"$name"}"
  # shellcheck disable=SC2086  # the benchmark's own switches, if any
  if ! wine "$build/bench/vt_bench_$name.exe" "$@" $own </dev/null | tr -d '\r' >>"$out"; then
    echo "bench: $bench failed" >&2
    status=1
  fi
done

echo "vntassoc benchmarks: $(git rev-parse --short HEAD 2>/dev/null || echo '?'), $(wine --version)," \
  "$(nproc) of $(nproc --all) cores, medians of ${2:-7} runs each"
echo
{
  grep -m1 '^HEAD' "$out" | cut -f2-
  grep '^ROW' "$out" | cut -f2-
} | column -t -s $'\t'
echo
grep '^NOTE' "$out" | cut -f2- | sed 's/^/  /' || true
exit $status
