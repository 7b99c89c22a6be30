#!/usr/bin/env bash
# Builds and runs every benchmark and prints its figures: each zelmak_*_bench program the build
# defines (the machine core; the text pane and the window when Qt is built) and each
# bench/*_bench.sh script, which gets the build folder.
# usage: bench/run.sh <builddir>
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: bench/run.sh <builddir>}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

mapfile -t benches < <(cmake --build "$build" --target help 2>/dev/null |
  grep -oE '(^|[[:space:]])zelmak_[a-z_]+_bench([:[:space:]]|$)' | tr -d ': \t' | sort -u)

echo "== building: ${benches[*]} zelmak-cli"
if ! cmake --build "$build" --target "${benches[@]}" zelmak-cli; then
  echo "run.sh: the build failed" >&2
  exit 1
fi

status=0
for bench in "${benches[@]}"; do
  echo
  echo "== $bench"
  if [ "$bench" = zelmak_machine_bench ]; then
    # Three repetitions; the median is the figure to quote, items_per_second is keys per second.
    "$build/bin/$bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true ||
      status=1
  else
    "$build/bin/$bench" || status=1
  fi
done

for script in "$here"/*_bench.sh; do
  [ -e "$script" ] || continue
  echo
  echo "== $(basename "$script")"
  bash "$script" "$build" || status=1
done

exit $status
