#!/usr/bin/env bash
# zelmak-cli on a 1 MiB and a 16 MiB text: best of three runs each, and how the time grows;
# --trace on 1 MiB; --json and --group on 16 MiB against the plain output, in paired runs.
# Goals: 16 MiB in under 2 s, and no more than 17 times the 1 MiB time; --trace on 1 MiB in
# under 1 s; --json and --group on 16 MiB at most 1.3 times the plain output's time.
# usage: bench/cli_bench.sh [builddir]   (default: build)
set -euo pipefail

build=${1:-build}
cli="$build/bin/zelmak-cli"
if [ ! -x "$cli" ]; then
  echo "cli_bench: $cli not found; build the target zelmak-cli first" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The same text on every machine: a line of mixed case, word spaces, digits, line breaks and
# characters without a key, repeated to the size wanted.
line='Hallo Alle, die Zeit ist um. Jawohl: 0123456789 xyz QUER durch BERG und TAL!'
yes "$line" | head -c $((1 << 20)) >"$work/1mib.txt" || true
yes "$line" | head -c $((16 << 20)) >"$work/16mib.txt" || true

# Runs the program three times on one input; prints the best wall-clock time and the best
# processor time (user + system) in seconds. On a busy machine the processor time is the steadier
# figure; the goal is stated for the wall-clock time of an otherwise idle machine.
# Further arguments go to the program before the input.
best_of_three() {
  local input=$1 runs=""
  shift
  for _ in 1 2 3; do
    local TIMEFORMAT='%R %U %S'
    runs+="$({ time "$cli" "$@" "$input" >/dev/null 2>&1; } 2>&1)"$'\n'
  done
  awk 'NF == 3 { wall = $1; cpu = $2 + $3
                 if (bw == "" || wall < bw) bw = wall
                 if (bc == "" || cpu < bc) bc = cpu }
       END { printf "%.3f %.3f", bw, bc }' <<<"$runs"
}

read -r w1 c1 <<<"$(best_of_three "$work/1mib.txt")"
read -r w16 c16 <<<"$(best_of_three "$work/16mib.txt")"

awk -v w1="$w1" -v c1="$c1" -v w16="$w16" -v c16="$c16" 'BEGIN {
  rw = (w1 > 0) ? w16 / w1 : 0
  rc = (c1 > 0) ? c16 / c1 : 0
  printf "zelmak-cli  1 MiB: %s s wall, %s s processor (best of 3)\n", w1, c1
  printf "zelmak-cli 16 MiB: %s s wall, %s s processor (best of 3), %.1f MiB/s\n", w16, c16,
         (w16 > 0 ? 16 / w16 : 0)
  printf "16 MiB / 1 MiB: %.1f wall, %.1f processor (goal: at most 17)\n", rw, rc
  printf "goal 16 MiB under 2 s: %s; growth at most 17x: %s\n",
         (w16 < 2 ? "met" : "MISSED"), (rw <= 17 ? "met" : "MISSED")
}'

# Runs the plain output and a variant (the further arguments) in turn, seven times each, and
# prints the median wall-clock and processor times (whole process) of both; a pair shares what
# else the machine is doing, so the ratio of the medians holds on a busy machine too.
paired_medians() {
  local input=$1 runs=""
  shift
  for _ in 1 2 3 4 5 6 7; do
    local TIMEFORMAT='%R %U %S'
    runs+="plain $({ time "$cli" "$input" >/dev/null 2>&1; } 2>&1)"$'\n'
    runs+="variant $({ time "$cli" "$@" "$input" >/dev/null 2>&1; } 2>&1)"$'\n'
  done
  awk 'function median(a, n,   i, j, t) {
         for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) {
           t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
         return (n % 2) ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2 }
       NF == 4 { k = $1; n[k]++; wall[k, n[k]] = $2; cpu[k, n[k]] = $3 + $4 }
       END { for (k in n) { split("", w); split("", c)
               for (i = 1; i <= n[k]; i++) { w[i] = wall[k, i]; c[i] = cpu[k, i] }
               mw[k] = median(w, n[k]); mc[k] = median(c, n[k]) }
             printf "%.3f %.3f %.3f %.3f", mw["plain"], mc["plain"], mw["variant"], mc["variant"] }' \
    <<<"$runs"
}

read -r wt ct <<<"$(best_of_three "$work/1mib.txt" --trace "$work/trace.csv")"
trace_mib=$(awk -v b="$(stat -c %s "$work/trace.csv")" 'BEGIN { printf "%.0f", b / 1048576 }')
printf "zelmak-cli --trace, 1 MiB: %s s wall, %s s processor (best of 3), a %s MiB trace\n" \
  "$wt" "$ct" "$trace_mib"

met=""
for variant in "--json" "--group 5"; do
  # shellcheck disable=SC2086 # the variant's words are its arguments
  read -r pw pc vw vc <<<"$(paired_medians "$work/16mib.txt" $variant)"
  awk -v name="$variant" -v pw="$pw" -v pc="$pc" -v vw="$vw" -v vc="$vc" 'BEGIN {
    rw = (pw > 0) ? vw / pw : 0
    rc = (pc > 0) ? vc / pc : 0
    printf "zelmak-cli %s, 16 MiB: %s s wall, %s s processor against plain %s s, %s s " \
           "(medians of 7 paired runs): %.2f wall, %.2f processor times plain\n",
           name, vw, vc, pw, pc, rw, rc
  }'
  met+="$(awk -v name="$variant" -v pw="$pw" -v vw="$vw" \
    'BEGIN { printf "%s at most 1.3x: %s; ", name, (vw <= 1.3 * pw ? "met" : "MISSED") }')"
done
awk -v wt="$wt" -v met="$met" 'BEGIN {
  printf "goal --trace 1 MiB under 1 s: %s; %s\n", (wt < 1 ? "met" : "MISSED"), met
}'
