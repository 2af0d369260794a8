#!/usr/bin/env bash
# Index building and index queries against plocate, on one generated tree of about a
# million entries (10,000 folders of 100 files). Usage: bench/bench_index.sh [BUILD_DIR]
# Prints wall times (best of 3, queries with process start included) and the ratios.
set -euo pipefail
build=${1:-build-bench}
qd="$(cd "$(dirname "$0")/.." && pwd)/$build/bin/qdsearch"
[ -x "$qd" ] || { echo "no $qd: build first" >&2; exit 1; }
command -v updatedb >/dev/null && command -v plocate >/dev/null || { echo "plocate not installed" >&2; exit 1; }

# With BENCH_DIR set, the generated tree is kept there for the next run.
if [ -n "${BENCH_DIR:-}" ]; then
    work=$BENCH_DIR; mkdir -p "$work"; rm -rf "$work/cache" "$work/plocate.db"
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/qd-bench-index.XXXXXX")
    trap 'rm -rf "$work"' EXIT
fi
tree="$work/tree"
if [ ! -d "$tree" ]; then
    python3 - "$tree" <<'PY'
import os, sys
root = sys.argv[1]
exts = ["txt", "c", "h", "jpg", "md", "log", "py", "", "tar.gz", "json"]
words = ["alpha", "beta", "gamma", "delta", "report", "image", "notes", "build", "cache", "data"]
n = 0
for a in range(100):
    for b in range(100):
        d = os.path.join(root, f"{words[a % 10]}{a}", f"{words[b % 10]}_{b}")
        os.makedirs(d, exist_ok=True)
        for f in range(98):
            e = exts[(a + b + f) % 10]
            name = f"{words[(f * 7 + b) % 10]}{f}{'.' + e if e else ''}"
            os.close(os.open(os.path.join(d, name), os.O_CREAT | os.O_WRONLY, 0o644))
            n += 1
print(f"generated {n} files", file=sys.stderr)
PY
fi
entries=$(find "$tree" -mindepth 1 | wc -l)
echo "tree: $entries entries"

now() { date +%s%N; }
ms() { echo $(( ($2 - $1) / 1000000 )); }
best() {   # best of 3 runs of "$@", output discarded; prints ms
    local b=999999999 s e t
    for _ in 1 2 3; do
        s=$(now); "$@" >/dev/null; e=$(now); t=$(ms "$s" "$e")
        [ "$t" -lt "$b" ] && b=$t
    done
    echo "$b"
}
ratio() { python3 -c "print(f'{$1/$2:.2f}')"; }

# Builds in turns, three each; the best of each counts (both rebuild from nothing each time).
t_updatedb=999999999; t_index=999999999
for _ in 1 2 3; do
    sync
    rm -f "$work/plocate.db"
    s=$(now); updatedb -U "$tree" -o "$work/plocate.db" -l 0; e=$(now); t=$(ms "$s" "$e")
    [ "$t" -lt "$t_updatedb" ] && t_updatedb=$t
    sync
    rm -rf "$work/cache"
    s=$(now); "$qd" --index "$tree" --cache "$work/cache" --no-archives --priority 10 2>/dev/null; e=$(now); t=$(ms "$s" "$e")
    [ "$t" -lt "$t_index" ] && t_index=$t
done
echo "build (best of 3): updatedb ${t_updatedb} ms, qdsearch --index ${t_index} ms, ratio $(ratio "$t_index" "$t_updatedb")"

db_size=$(stat -c %s "$work/plocate.db")
cache_size=$(du -cb "$work"/cache/* | tail -1 | cut -f1)
echo "size: plocate db ${db_size} bytes, index cache ${cache_size} bytes, ratio $(ratio "$cache_size" "$db_size")"

n1=$(plocate -d "$work/plocate.db" -i "report4" | wc -l)
n2=$("$qd" --quick --cache "$work/cache" --no-auto-normal "*report4*" "$tree" | wc -l)
t1=$(best plocate -d "$work/plocate.db" -i "report4")
t2=$(best "$qd" --quick --cache "$work/cache" --no-auto-normal "*report4*" "$tree")
echo "substring query (plocate $n1 paths, qdsearch $n2 names): plocate ${t1} ms, qdsearch --quick ${t2} ms, ratio $(ratio "$t2" "$((t1 > 0 ? t1 : 1))")"

n3=$(plocate -d "$work/plocate.db" -i "*.json" | wc -l)
n4=$("$qd" --quick --cache "$work/cache" --no-auto-normal "*.json" "$tree" | wc -l)
t3=$(best plocate -d "$work/plocate.db" -i "*.json")
t4=$(best "$qd" --quick --cache "$work/cache" --no-auto-normal "*.json" "$tree")
echo "extension query (plocate $n3, qdsearch $n4): plocate ${t3} ms, qdsearch --quick ${t4} ms, ratio $(ratio "$t4" "$((t3 > 0 ? t3 : 1))")"
