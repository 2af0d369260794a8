#!/usr/bin/env bash
# Duplicate finding: qdsearch --duplicates md5 / bytes against jdupes -r and fdupes -r on one
# generated tree. Checks that all four find the same groups, then prints wall times and the
# ratios to jdupes.
#
#   bench/bench_duplicates.sh [BUILD_DIR] [FILES]      (defaults: build-bench, 50000)
#
# The tree holds no empty files, no links and no hard links, so that the peers' defaults
# (empty files skipped, hard links not counted as duplicates) mean the same as ours. Sizes
# are mixed: many small files, a band of files sharing one size (4096 bytes) with different
# contents, some files up to 1 MB and a few of several MB; about 3 % of the files are copies.
# Each tool runs RUNS times (default 3) in turns on a warm page cache; the best time counts.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build-bench}
FILES=${2:-50000}
RUNS=${RUNS:-3}
QD="$BUILD/bin/qdsearch"
[ -x "$QD" ] || { echo "no $QD: build first (./dev.sh bench)"; exit 1; }
for tool in jdupes fdupes python3; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 1; }
done

# With BENCH_DIR set, the generated tree is kept there and reused by the next run.
if [ -n "${BENCH_DIR:-}" ]; then
    WORK=$BENCH_DIR; mkdir -p "$WORK"
else
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/qd-bench-dup-XXXXXX")
    trap 'rm -rf "$WORK"' EXIT
fi
TREE="$WORK/tree"

[ -d "$TREE" ] || python3 - "$TREE" "$FILES" <<'EOF'
import os, random, shutil, sys
root, count = sys.argv[1], int(sys.argv[2])
rng = random.Random(20240601)
folders = [os.path.join(root, f"d{i // 40}", f"s{i % 40}") for i in range(max(1, count // 100))]
for f in folders:
    os.makedirs(f, exist_ok=True)
def size():
    r = rng.random()
    if r < 0.10: return 4096                       # one crowded size, contents differ
    if r < 0.97: return rng.randint(1, 16384)
    if r < 0.996: return rng.randint(16385, 1 << 20)
    return rng.randint(2 << 20, 8 << 20)
originals = count - count * 3 // 100
paths = []
for i in range(originals):
    path = os.path.join(rng.choice(folders), f"f{i}.dat")
    n = size()
    # A shared head and a distinct tail for part of the crowded size: equal first blocks.
    head = b"H" * 2048 if n == 4096 and i % 2 else b""
    with open(path, "wb") as out:
        out.write(head + rng.randbytes(n - len(head)))
    paths.append(path)
for i in range(count - originals):
    source = rng.choice(paths)
    shutil.copyfile(source, os.path.join(rng.choice(folders), f"copy{i}.dat"))
EOF

# Sorted groups of sorted paths, one group per line.
normalise() {
    python3 -c '
import sys
groups, current = [], []
for line in sys.stdin.read().split("\n"):
    if line:
        current.append(line)
    elif current:
        groups.append("\t".join(sorted(current)))
        current = []
if current:
    groups.append("\t".join(sorted(current)))
print("\n".join(sorted(groups)))'
}

declare -A BEST
declare -A CMDS=(
    [qd_md5]="$QD --duplicates md5 --target files '' $TREE"
    [qd_bytes]="$QD --duplicates bytes --target files '' $TREE"
    [jdupes]="jdupes -r -q $TREE"
    [fdupes]="fdupes -r -q $TREE"
)
ORDER=(jdupes fdupes qd_md5 qd_bytes)

# Warm the page cache and keep one output of each for the comparison.
for name in "${ORDER[@]}"; do
    eval "${CMDS[$name]}" >"$WORK/$name.out" || true
    normalise <"$WORK/$name.out" >"$WORK/$name.norm"
done

groups=$(wc -l <"$WORK/jdupes.norm")
ok=1
for name in fdupes qd_md5 qd_bytes; do
    if ! cmp -s "$WORK/jdupes.norm" "$WORK/$name.norm"; then
        echo "MISMATCH: $name finds other groups than jdupes"
        diff "$WORK/jdupes.norm" "$WORK/$name.norm" | head -5
        ok=0
    fi
done
[ $ok = 1 ] && echo "groups agree: $groups groups in $FILES files (jdupes, fdupes, qdsearch md5, qdsearch bytes)"

for run in $(seq "$RUNS"); do
    for name in "${ORDER[@]}"; do
        start=$(date +%s%N)
        eval "${CMDS[$name]}" >/dev/null || true
        ms=$(( ($(date +%s%N) - start) / 1000000 ))
        if [ -z "${BEST[$name]:-}" ] || [ "$ms" -lt "${BEST[$name]}" ]; then BEST[$name]=$ms; fi
    done
done

printf '%-26s %10s %12s\n' "tool" "best ms" "vs jdupes"
for name in "${ORDER[@]}"; do
    ratio=$(python3 -c "print(f'{${BEST[$name]} / max(1, ${BEST[jdupes]}):.2f}x')")
    printf '%-26s %10s %12s\n' "$name" "${BEST[$name]}" "$ratio"
done
[ $ok = 1 ]
