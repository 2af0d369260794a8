#!/bin/sh
# Moves of 10,000 files by the program's own mover against mv (same file system) and
# against cp -a plus rm (to /dev/shm, another file system where it is one), and saving and
# opening a result file of 1,000,000 rows.
#   bench_result_ops.sh [BUILD_DIR] [WORK_FOLDER]
set -eu
BUILD=${1:-build}
WORK=${2:-/tmp/qd-ops-bench}
BENCH=$BUILD/bin/result_ops_bench
[ -x "$BENCH" ] || { echo "missing $BENCH (build with QUENDREL_BENCH=ON)" >&2; exit 2; }
N=10000

make_files() {  # folder
    rm -rf "$1"; mkdir -p "$1"
    i=0
    while [ $i -lt $N ]; do
        printf 'file %d\n' $i > "$1/f$i.txt"; i=$((i + 1))
    done
}

now() { date +%s.%N; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

rm -rf "$WORK"; mkdir -p "$WORK"

# Same file system.
make_files "$WORK/src"; mkdir -p "$WORK/dst"
ours=$("$BENCH" move "$WORK/src" "$WORK/dst" | awk '/^move / { print $2 }')
make_files "$WORK/src2"; mkdir -p "$WORK/dst2"
t0=$(now); (cd "$WORK/src2" && mv -- * "$WORK/dst2/"); t1=$(now)
mv_s=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
echo "same file system: ours ${ours}s, mv ${mv_s}s, ratio $(ratio "$ours" "$mv_s") (goal <= 1.2)"

# Across file systems.
if [ "$(stat -c %d /dev/shm)" != "$(stat -c %d "$WORK")" ]; then
    OTHER=$(mktemp -d /dev/shm/qd-ops-bench-XXXXXX)
    make_files "$WORK/src3"
    ours=$("$BENCH" move "$WORK/src3" "$OTHER" | awk '/^move / { print $2 }')
    rm -rf "$OTHER"; OTHER=$(mktemp -d /dev/shm/qd-ops-bench-XXXXXX)
    make_files "$WORK/src4"
    t0=$(now); cp -a "$WORK/src4/." "$OTHER/" && rm -rf "$WORK/src4"; t1=$(now)
    cp_s=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
    echo "across file systems: ours ${ours}s, cp -a + rm ${cp_s}s, ratio $(ratio "$ours" "$cp_s") (goal <= 1.5)"
    rm -rf "$OTHER"
else
    echo "across file systems: skipped, /dev/shm is on the same file system"
fi

"$BENCH" qdr 1000000 "$WORK/million.qdr" | sed 's/^/result file of 1,000,000 rows: /; s/$/ s (goal <= 2)/'
rm -rf "$WORK"
