#!/usr/bin/env bash
# Start-up of the window from process start (exec) to the main window shown, on the offscreen
# platform: a fresh process each time, best and median of seven.
set -euo pipefail
bin=${1:-build}/bin/zelmak_form_bench
[ -x "$bin" ] || { echo "startup_bench: $bin not built (needs Qt)"; exit 0; }
times=()
for i in 1 2 3 4 5 6 7; do
  start=$(date +%s%N)
  line=$(QT_QPA_PLATFORM=offscreen "$bin" --startup 2>/dev/null | head -n1)
  shown=$(sed -n 's/.*shown at \([0-9]*\) ns.*/\1/p' <<<"$line")
  times+=($(( (shown - start) / 1000000 )))
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "start-up, process start to main window shown (ms): ${times[*]}"
echo "best ${sorted[0]} ms, median ${sorted[3]} ms (goal: under 500 ms)"
