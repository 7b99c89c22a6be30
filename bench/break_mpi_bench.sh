#!/usr/bin/env bash
# zelmak-break's crib search with the disc order known, over ten offsets (286 M hypotheses): one
# process on one thread, the same under mpirun as one rank and as two ranks of one thread each,
# and one process on two threads. Best wall-clock time of three runs each, and the speed-ups.
# usage: bench/break_mpi_bench.sh [builddir]   (default: build)
set -euo pipefail

build=${1:-build}
brk="$build/bin/zelmak-break"
cli="$build/bin/zelmak-cli"
for p in "$brk" "$cli"; do
  if [ ! -x "$p" ]; then
    echo "break_mpi_bench: $p not found; build the targets zelmak-break and zelmak-cli" >&2
    exit 1
  fi
done
mpirun=$(command -v mpirun) || { echo "break_mpi_bench: mpirun not found" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cli" --new-key "$work/day.key"
printf 'AN DEN STAB DER ZVVEITEN ABTEILUNG. DER ZUG MIT DEN ERSATZTEILEN FUER DIE PUMPEN KOMMT MORGEN FRUEH UM SECHS UHR AN.' |
  "$cli" --key "$work/day.key" --start Q7ZN2 >"$work/letter.cif"
order=$(od -An -tu1 -j31 -N5 "$work/day.key" | awk '{ for (i = 1; i <= NF; ++i) printf "%d", $i + 1 }')
search=(crib --crib 'AN DEN STAB DER ZVVEITEN ABTEILUNG' --order "$order" --at 0-9 --quiet)

# Best wall-clock seconds of three runs of the command given.
best_of_three() {
  local best=""
  for _ in 1 2 3; do
    local TIMEFORMAT='%R'
    local t
    t=$({ time "$@" >/dev/null 2>&1; } 2>&1)
    best=$(awk -v a="$best" -v b="$t" 'BEGIN { print (a == "" || b < a) ? b : a }')
  done
  echo "$best"
}

mpi=("$mpirun" --oversubscribe --allow-run-as-root --bind-to none)
one=$(best_of_three "$brk" "${search[@]}" --threads 1 "$work/letter.cif")
rank1=$(best_of_three "${mpi[@]}" -np 1 "$brk" "${search[@]}" --threads 1 "$work/letter.cif")
rank2=$(best_of_three "${mpi[@]}" -np 2 "$brk" "${search[@]}" --threads 1 "$work/letter.cif")
threads2=$(best_of_three "$brk" "${search[@]}" --threads 2 "$work/letter.cif")
echo "crib search, order $order known, offsets 0-9 (286 M hypotheses), best of three:"
echo "  one process, 1 thread:      $one s"
echo "  mpirun -np 1, 1 thread:     $rank1 s"
echo "  mpirun -np 2, 1 thread each: $rank2 s  (speed-up $(awk -v a="$rank1" -v b="$rank2" 'BEGIN { printf "%.2f", a / b }') over one rank)"
echo "  one process, 2 threads:     $threads2 s  (speed-up $(awk -v a="$one" -v b="$threads2" 'BEGIN { printf "%.2f", a / b }') over one thread)"
