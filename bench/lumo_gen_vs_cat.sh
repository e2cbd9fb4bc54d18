#!/usr/bin/env bash
# Times lumo-gen on the ~50 MB synthetic grammar against copying that file
# three times with cat: lumo-gen reads the document once and writes two
# tables of about its size, so three copies are the floor of the same I/O.
#
#   bench/lumo_gen_vs_cat.sh [LUMO_GEN] [RUNS]
#
# LUMO_GEN defaults to build/src/lumo-gen; the grammar comes from
# lumo-bench-grammar beside it (bench/ of the same build folder), or from
# $LUMO_BENCH_GRAMMAR. RUNS (default 5) runs of each, interleaved so that
# load from other processes falls on both alike; the medians are compared.
# Scratch files go to a temporary folder under $TMPDIR (default /tmp), which
# is removed on exit.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
gen="${1:-$root/build/src/lumo-gen}"
runs="${2:-5}"
maker="${LUMO_BENCH_GRAMMAR:-$(dirname "$gen")/../bench/lumo-bench-grammar}"

for tool in "$gen" "$maker"; do
    if [ ! -x "$tool" ]; then
        echo "error: $tool is not built (configure with -DLUMO_BUILD_BENCH=ON)" >&2
        exit 2
    fi
done

tmp="$(mktemp -d "${TMPDIR:-/tmp}/lumo-gen-vs-cat.XXXXXX")"
trap 'rm -rf "$tmp"' EXIT

doc="$tmp/grammar.lm"
"$maker" "$doc"
size=$(stat -c %s "$doc")

# Seconds taken by the command, from bash's own microsecond clock, so no
# process is started around the one being timed.
elapsed() {
    local t0=$EPOCHREALTIME
    "$@"
    local t1=$EPOCHREALTIME
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f\n", b - a }'
}

run_gen() { "$gen" "$doc" -o "$tmp/table" >/dev/null; }
cat_files() {
    cat "$doc" >"$tmp/copy1"
    cat "$doc" >"$tmp/copy2"
    cat "$doc" >"$tmp/copy3"
}
cat_null() {
    cat "$doc" >/dev/null
    cat "$doc" >/dev/null
    cat "$doc" >/dev/null
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# One untimed round: the document into the page cache, and every output file
# present, so each timed run replaces files as a repeated run would.
run_gen
cat_files
cat_null

gen_times=() files_times=() null_times=()
for ((i = 0; i < runs; i++)); do
    gen_times+=("$(elapsed run_gen)")
    files_times+=("$(elapsed cat_files)")
    null_times+=("$(elapsed cat_null)")
done

gen_med=$(printf '%s\n' "${gen_times[@]}" | median)
files_med=$(printf '%s\n' "${files_times[@]}" | median)
null_med=$(printf '%s\n' "${null_times[@]}" | median)

printf 'document: %d bytes; %d runs each; load average: %s\n' "$size" "$runs" \
    "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-34s %9s   %s\n' "command" "median s" "runs"
printf '%-34s %9s   %s\n' "lumo-gen (validate, .pt and .txt)" "$gen_med" "${gen_times[*]}"
printf '%-34s %9s   %s\n' "3 x cat to files" "$files_med" "${files_times[*]}"
printf '%-34s %9s   %s\n' "3 x cat to /dev/null" "$null_med" "${null_times[*]}"
awk -v g="$gen_med" -v f="$files_med" -v n="$null_med" 'BEGIN {
    printf "lumo-gen / (3 x cat to files)     = %.2f (target <= 2: %s)\n", g / f, (g <= 2 * f) ? "met" : "missed"
    printf "lumo-gen / (3 x cat to /dev/null) = %.2f\n", g / n
}'
