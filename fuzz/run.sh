#!/usr/bin/env bash
# Runs each fuzz target for a bounded time on its seed corpus and prints its figures. A crash,
# leak, timeout, memory blow-up or failed check of any target fails the run; the input that
# caused it is kept as <builddir>/artifacts/<target>-crash-*.
# usage: fuzz/run.sh <builddir> <seconds per target> <target>...
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: fuzz/run.sh <builddir> <seconds> <target>...}" && pwd)
seconds=${2:?seconds per target}
shift 2

# The targets' scratch files go below the build folder, also when a crash leaves them behind.
export TMPDIR="$build/tmp"
mkdir -p "$TMPDIR" "$build/artifacts" "$build/logs"
if command -v llvm-symbolizer-14 >/dev/null; then
  export ASAN_SYMBOLIZER_PATH=${ASAN_SYMBOLIZER_PATH:-$(command -v llvm-symbolizer-14)}
fi

status=0
for target in "$@"; do
  corpus="$build/corpus/$target"
  log="$build/logs/$target.log"
  mkdir -p "$corpus"
  args=(
    "$corpus" "$here/corpus/$target"
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-"
  )
  if [ -f "$here/$target.dict" ]; then
    args+=(-dict="$here/$target.dict")
  fi
  echo "== $target ($seconds s)"
  # libFuzzer stops itself after max_total_time; the outer limit only guards against a hang
  # that its own watchdog misses.
  timeout --kill-after=10 $((seconds + 120)) "$build/bin/$target" "${args[@]}" >"$log" 2>&1
  rc=$?
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' \
    "$log" | sed 's/^stat::/   /'
  if [ $rc -ne 0 ]; then
    echo "   FAILED (exit status $rc); the end of $log:"
    tail -n 40 "$log" | sed 's/^/   | /'
    status=1
  fi
done
exit $status
