#!/usr/bin/env bash
# Compares qdsearch with find, fd, grep -rlF and rg on one warm tree of 200,000 files:
#   (a) case-insensitive substring of the name   (b) extension
#   (c) size and date filter                      (d) fixed-string content
# Checks that the result sets agree where the semantics match, and prints median times and
# the ratios qdsearch / peer (below 1.0 means qdsearch is faster), for the wall-clock median
# and for the mean processor time (user + system), which a busy machine disturbs less.
#
#   bench/bench_search.sh [BUILD_DIR] [TREE_PARENT]
#     BUILD_DIR    holds bin/qdsearch (default: build-bench)
#     TREE_PARENT  where the tree is made once and kept (default: /tmp/qd-search-bench)
# Environment: FILES (default 200000), RUNS (default 10).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build-bench}
parent=${2:-/tmp/qd-search-bench}
files=${FILES:-200000}
runs=${RUNS:-10}
qd=$(cd "$build" && pwd)/bin/qdsearch
fd=$(command -v fdfind || command -v fd || true)
rare=quokkafrost
[ -x "$qd" ] || { echo "no $qd: build first (cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUENDREL_TESTS=OFF)"; exit 2; }
command -v hyperfine >/dev/null || { echo "hyperfine is needed"; exit 2; }

tree=$parent/tree
if [ ! -e "$parent/tree.done" ] || [ "$(cat "$parent/tree.files" 2>/dev/null)" != "$files" ]; then
    echo "Making $files files under $tree (once) ..."
    rm -rf "$tree"
    mkdir -p "$parent"
    python3 "$here/make_search_tree.py" "$tree" "$files" "$rare"
    echo "$files" > "$parent/tree.files"
    touch "$parent/tree.done"
fi
echo "$files" > "$parent/tree.files"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A fixed reference time for the date filter, shared by every tool. qdsearch measures its
# window from its own start, a few seconds later: files within seconds of the edge may differ.
since=$(( $(date +%s) - 30 * 86400 ))

declare -A cmd
cmd[a_qdsearch]="$qd report $tree"
cmd[a_find]="find $tree -iname '*report*'"
cmd[a_fd]="$fd -u -i -F report $tree"
cmd[b_qdsearch]="$qd '*.log' $tree"
cmd[b_find]="find $tree -iname '*.log'"
cmd[b_fd]="$fd -u -e log . $tree"
cmd[c_find]="find $tree -type f -size +10239c -newermt @$since"
cmd[c_fd]="$fd -u -t f -S +10ki --changed-within 30d . $tree"
cmd[d_grep]="grep -rlF $rare $tree"
cmd[d_rg]="rg -l -F -uuu $rare $tree"
# qdsearch's name line is its first positional argument; an empty one means every name.
cmd[c_qdsearch]="$qd --target files --larger 10K --within 30d -- '' $tree"
cmd[d_qdsearch]="$qd --case --text $rare -- '' $tree"

declare -A titles=([a]="name substring, case-insensitive" [b]="extension .log" [c]="size >= 10 KiB and modified within 30 days" [d]="fixed-string content")
declare -A peers=([a]="find fd" [b]="find fd" [c]="find fd" [d]="grep rg")

# Warm the cache once.
find "$tree" >/dev/null
grep -rlF "$rare" "$tree" >/dev/null || true

status=0
report=()
for case in a b c d; do
    echo
    echo "== ($case) ${titles[$case]}"
    names=(qdsearch ${peers[$case]})
    # Same files?
    for tool in "${names[@]}"; do
        key=${case}_$tool
        [ "$tool" = fd ] && [ -z "$fd" ] && continue
        bash -c "${cmd[$key]}" 2>/dev/null | sed 's:/$::' | LC_ALL=C sort > "$work/$key.txt" || true
    done
    for tool in ${peers[$case]}; do
        key=${case}_$tool
        [ -f "$work/$key.txt" ] || continue
        if cmp -s "$work/${case}_qdsearch.txt" "$work/$key.txt"; then
            echo "   results agree with $tool: $(wc -l < "$work/$key.txt") paths"
        else
            echo "   RESULTS DIFFER from $tool: qdsearch $(wc -l < "$work/${case}_qdsearch.txt"), $tool $(wc -l < "$work/$key.txt")"
            diff "$work/${case}_qdsearch.txt" "$work/$key.txt" | head -5 | sed 's/^/     /' || true
            status=1
        fi
    done
    args=()
    for tool in "${names[@]}"; do
        [ "$tool" = fd ] && [ -z "$fd" ] && continue
        args+=(-n "$tool" "${cmd[${case}_$tool]}")
    done
    hyperfine -N --warmup 2 --runs "$runs" --ignore-failure --style none \
        --export-json "$work/$case.json" "${args[@]}" >/dev/null 2>&1 ||
    hyperfine --warmup 2 --runs "$runs" --ignore-failure --style none \
        --export-json "$work/$case.json" "${args[@]}" >/dev/null
    python3 - "$work/$case.json" <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))["results"]
wall = {r["command"]: r["median"] for r in runs}
cpu = {r["command"]: r["user"] + r["system"] for r in runs}
for name in wall:
    line = f"   {name:9s} median {wall[name] * 1000:8.1f} ms   cpu {cpu[name] * 1000:8.1f} ms"
    if name != "qdsearch":
        line += (f"   qdsearch/{name}: wall {wall['qdsearch'] / wall[name]:5.2f}x"
                 f"  cpu {cpu['qdsearch'] / cpu[name]:5.2f}x")
    print(line)
PY
done
exit $status
