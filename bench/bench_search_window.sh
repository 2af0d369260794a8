#!/usr/bin/env bash
# A disk search started from the window (until the status bar shows the count) against the
# same search with qdsearch, on one warm tree of 200,000 files (make_search_tree.py), best
# of RUNS each, taken in turns. Prints both times and the ratio window / qdsearch.
#   bench/bench_search_window.sh [BUILD_DIR] [TREE_PARENT]
#     BUILD_DIR    holds bin/qdsearch and bin/search_window_bench (default: build-bench)
#     TREE_PARENT  where the tree is made once and kept (default: /tmp/qd-search-bench)
# Environment: FILES (default 200000), RUNS (default 5).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build-bench}
parent=${2:-/tmp/qd-search-bench}
files=${FILES:-200000}
runs=${RUNS:-5}
qd=$(cd "$build" && pwd)/bin/qdsearch
win=$(cd "$build" && pwd)/bin/search_window_bench
[ -x "$qd" ] && [ -x "$win" ] || { echo "build qdsearch and search_window_bench first (QUENDREL_BENCH=ON)" >&2; exit 2; }

tree=$parent/tree
if [ ! -e "$parent/tree.done" ] || [ "$(cat "$parent/tree.files" 2>/dev/null)" != "$files" ]; then
    echo "Making $files files under $tree (once) ..."
    rm -rf "$tree"
    mkdir -p "$parent"
    python3 "$here/make_search_tree.py" "$tree" "$files"
    echo "$files" > "$parent/tree.files"
    touch "$parent/tree.done"
fi
find "$tree" >/dev/null   # warm the cache

now() { date +%s%N; }
ratio() { python3 -c "print(f'{$1/max($2,1):.2f}')"; }
echo "load average before the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
for line in "report" "*.log" "*"; do
    best_cli=999999999; best_win=999999999; n_cli=0; n_win=0
    for _ in $(seq "$runs"); do
        s=$(now); n_cli=$("$qd" -- "$line" "$tree" | wc -l); e=$(now)
        t=$(( (e - s) / 1000000 )); [ "$t" -lt "$best_cli" ] && best_cli=$t
        read -r t n_win _ < <("$win" "$tree" "$line" 2>/dev/null)
        [ "$t" -lt "$best_win" ] && best_win=$t
    done
    [ "$n_cli" -eq "$n_win" ] || echo "  result counts differ: window $n_win, qdsearch $n_cli"
    echo "disk search '${line}' ($n_win results): window ${best_win} ms, qdsearch ${best_cli} ms, ratio $(ratio "$best_win" "$best_cli") (goal <= 1.2)"
done
