#!/usr/bin/env bash
# Checks that a build of stelmar-calc writes the same documents as another:
# the RTF reports (full and summary), the JSON results and the PDF report
# (its text as pdftotext extracts it, and pages rasterised by pdftoppm) of
# the example projects and of generated schemes of 1,000 and 10,000 areas,
# under several calculation options.
#
#   scripts/compare-outputs.sh record DIR CALC   # the outputs of CALC as the reference
#   scripts/compare-outputs.sh check DIR CALC    # the outputs of CALC against them
#   scripts/compare-outputs.sh check DIR CALC rtf  # only the RTF reports and the JSON
#
# DIR keeps the reference between the two (e.g. /tmp/outputs). The
# generated schemes are written with bench_scheme from the build next to
# this script's tree (build/bench/bench_scheme). The PDF title page shows the
# calculation time; the runs see a fixed clock (a small preloaded library
# is built in DIR with cc).
set -euo pipefail

mode=${1:-}
dir=${2:-}
calc=${3:-}
only=${4:-}
if [[ ($mode != record && $mode != check) || -z $dir || ! -x $calc ]]; then
  echo "usage: $0 record|check DIR STELMAR-CALC" >&2
  exit 64
fi
root=$(cd "$(dirname "$0")/.." && pwd)
calc=$(realpath "$calc")
mkdir -p "$dir/in"
side=$([[ $mode == record ]] && echo before || echo after)
out="$dir/$side"
rm -rf "$out"
mkdir -p "$out"

if [[ ! -f $dir/fixed-clock.so ]]; then
  printf '#include <time.h>\ntime_t time(time_t* t) { if (t) *t = 1735725600; return 1735725600; }\n' > "$dir/fixed-clock.c"
  cc -shared -fPIC -o "$dir/fixed-clock.so" "$dir/fixed-clock.c"
fi

inputs=()
for example in "$root"/examples/*.stm; do
  cp "$example" "$dir/in/"
  inputs+=("$dir/in/$(basename "$example")")
done
for kind in tree building; do
  for areas in 1000 10000; do
    file="$dir/in/$kind-$areas.stm"
    [[ -f $file ]] || "$root/build/bench/bench_scheme" "$kind" "$areas" "$file"
    inputs+=("$file")
  done
done

# Option sets: name and arguments.
variants=(
  "default|"
  "razvr-on|--raz-vr on --vr-sk on"
  "razvr-off|--raz-vr off --vr-sk off"
  "precision-2|--precision 2 --raz-vr on"
  "precision-6|--precision 6 --vr-sk on"
)

run() {
  LD_PRELOAD="$dir/fixed-clock.so" LC_ALL=C.UTF-8 "$calc" "$@" --decimal-separator , > /dev/null 2>&1 || true
}

for input in "${inputs[@]}"; do
  name=$(basename "$input" .stm)
  for variant in "${variants[@]}"; do
    vname=${variant%%|*}
    read -r -a args <<< "${variant#*|}"
    base="$out/$name.$vname"
    run "$input" "${args[@]}" --report full --out "$base.full.rtf" --json "$base.json"
    run "$input" "${args[@]}" --report summary --out "$base.summary.rtf"
  done
  [[ $only == rtf ]] && continue
  # The PDF reports, with the project's own options.
  for report in full summary; do
    base="$out/$name.$report"
    run "$input" --report "$report" --pdf "$base.pdf"
    pdftotext -layout "$base.pdf" "$base.pdf.txt"
    pages=$(pdfinfo "$base.pdf" | awk '/^Pages:/ {print $2}')
    # Every page of small reports; of large ones the first, every 97th and the last.
    mkdir -p "$base.pages"
    for ((p = 1; p <= pages; p++)); do
      if ((pages <= 60 || p <= 6 || p % 97 == 0 || p > pages - 2)); then
        pdftoppm -r 40 -gray -f "$p" -l "$p" "$base.pdf" "$base.pages/p"
      fi
    done
    rm "$base.pdf"
  done
done

if [[ $mode == record ]]; then
  echo "reference written to $out ($(find "$out" -type f | wc -l) files)"
  exit 0
fi
reference="$dir/before"
if [[ $only == rtf ]]; then
  reference="$dir/before-rtf"
  rm -rf "$reference"
  mkdir -p "$reference"
  cp "$dir"/before/*.rtf "$dir"/before/*.json "$reference/"
fi
if diff -rq "$reference" "$out"; then
  echo "same outputs ($(find "$out" -type f | wc -l) files)"
else
  echo "OUTPUTS DIFFER" >&2
  exit 1
fi
