#!/usr/bin/env bash
# qdsearch with its content tests on scanner threads and the PDF text cache, against peers,
# on warm trees made by make_search_tree.py:
#   (a) name substring vs fd -u          (b) extension vs find     (c) size and date vs find
#   (d) fixed-string content vs rg -uuu -l -F (tree without PDFs)
#   (e) the same on a copy where 6% of the files are named .pdf (few real PDFs) vs grep -rlF
#   (f) 1,000 real PDF documents: first search (empty cache) against one scanner without
#       the cache (how a single-threaded search converts), then the second search
# Checks that the result sets agree, prints median wall times and the ratios; for (a) to (c)
# also the times of qdsearch --no-read-ahead (one thread) and --read-ahead (folders read on
# a second thread ahead of the tests). qdsearch and its peer are timed in turns
# (interleaved_medians.py), RUNS runs each.
#
#   bench/bench_parallel_search.sh [BUILD_DIR] [TREE_PARENT]
#     BUILD_DIR    holds bin/qdsearch (default: build-bench)
#     TREE_PARENT  where the trees are made once and kept (default: /tmp/qd-parallel-bench)
# Environment: FILES (default 200000), PDFS (default 1000), RUNS (default 5),
#              CASES (default "a b c d e f": which of the searches above to run).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build-bench}
parent=${2:-/tmp/qd-parallel-bench}
files=${FILES:-200000}
pdfs=${PDFS:-1000}
runs=${RUNS:-5}
cases=${CASES:-a b c d e f}
qd=$(cd "$build" && pwd)/bin/qdsearch
fd=$(command -v fdfind || command -v fd || true)
rare=quokkafrost
[ -x "$qd" ] || { echo "no $qd: build it first"; exit 2; }
for tool in hyperfine rg pdftotext; do
    command -v $tool >/dev/null || { echo "$tool is needed"; exit 2; }
done
[ -n "$fd" ] || { echo "fd is needed"; exit 2; }

tree=$parent/tree
pdftree=$parent/pdf6
docs=$parent/docs
if [ "$(cat "$parent/made" 2>/dev/null)" != "$files $pdfs" ]; then
    echo "Making $files files (twice) and $pdfs PDF documents under $parent (once) ..."
    rm -rf "$parent"
    mkdir -p "$parent"
    python3 "$here/make_search_tree.py" "$tree" "$files" "$rare"
    cp -a "$tree" "$pdftree"
    python3 - "$pdftree" "$docs" "$pdfs" "$rare" <<'PY'
import os, random, sys
pdftree, docs, count, rare = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
rng = random.Random(16)
def document(text):
    hex_text = text.encode().hex().upper()
    content = f"BT /F1 12 Tf 72 700 Td <{hex_text}> Tj ET\n"
    objects = ["<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
               "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R "
               "/Resources << /Font << /F1 5 0 R >> >> >>",
               f"<< /Length {len(content)} >>\nstream\n{content}endstream",
               "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"]
    pdf, offsets = "%PDF-1.4\n", []
    for i, body in enumerate(objects):
        offsets.append(len(pdf))
        pdf += f"{i + 1} 0 obj\n{body}\nendobj\n"
    xref = len(pdf)
    pdf += f"xref\n0 {len(objects) + 1}\n0000000000 65535 f \n" + "".join(f"{o:010d} 00000 n \n" for o in offsets)
    pdf += f"trailer\n<< /Size {len(objects) + 1} /Root 1 0 R >>\nstartxref\n{xref}\n%%EOF\n"
    return pdf.encode()
# 6% of the files get ".pdf" appended; one in fifty of those becomes a real document.
paths = []
for folder, _, names in os.walk(pdftree):
    paths += [os.path.join(folder, n) for n in names]
paths.sort()
real = open(os.path.join(os.path.dirname(pdftree), "real.txt"), "w")
for path in paths:
    if rng.random() < 0.06:
        os.rename(path, path + ".pdf")
        if rng.random() < 0.02:
            with open(path + ".pdf", "wb") as out:
                out.write(document("scanned page " + (rare if rng.random() < 0.3 else "plain")))
            real.write(path + ".pdf\n")
real.close()
PY
    echo "$files $pdfs" > "$parent/made"
fi
if [ "$(cat "$parent/docs.made" 2>/dev/null)" != "$pdfs" ]; then
    rm -rf "$docs"
    python3 - "$docs" "$pdfs" "$rare" <<'PY'
import os, random, sys
docs, count, rare = sys.argv[1], int(sys.argv[2]), sys.argv[3]
rng = random.Random(17)
def document(text):
    hex_text = text.encode().hex().upper()
    content = f"BT /F1 12 Tf 72 700 Td <{hex_text}> Tj ET\n"
    objects = ["<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
               "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R "
               "/Resources << /Font << /F1 5 0 R >> >> >>",
               f"<< /Length {len(content)} >>\nstream\n{content}endstream",
               "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"]
    pdf, offsets = "%PDF-1.4\n", []
    for i, body in enumerate(objects):
        offsets.append(len(pdf))
        pdf += f"{i + 1} 0 obj\n{body}\nendobj\n"
    xref = len(pdf)
    pdf += f"xref\n0 {len(objects) + 1}\n0000000000 65535 f \n" + "".join(f"{o:010d} 00000 n \n" for o in offsets)
    pdf += f"trailer\n<< /Size {len(objects) + 1} /Root 1 0 R >>\nstartxref\n{xref}\n%%EOF\n"
    return pdf.encode()
os.makedirs(docs)
for i in range(count):
    # One line that fits the page: text beyond its edge is not extracted.
    words = " ".join(rng.choice(["ledger", "minutes", "invoice", "travel", "budget"]) for _ in range(6))
    with open(os.path.join(docs, f"doc{i:04d}.pdf"), "wb") as out:
        out.write(document(f"{rare if i % 7 == 0 else 'page'} {i} {words}"))
PY
    sleep 3   # the cache keeps no text of a document changed in the last two seconds
    echo "$pdfs" > "$parent/docs.made"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CACHE_HOME=$work/cache   # a cache of our own, emptied where asked
since=$(( $(date +%s) - 30 * 86400 ))

declare -A cmd
cmd[a_qdsearch]="$qd report $tree"
cmd[a_fd]="$fd -u -i -F report $tree"
cmd[b_qdsearch]="$qd '*.log' $tree"
cmd[b_find]="find $tree -iname '*.log'"
cmd[c_qdsearch]="$qd --target files --larger 10K --within 30d -- '' $tree"
cmd[c_find]="find $tree -type f -size +10239c -newermt @$since"
cmd[d_qdsearch]="$qd --case --text $rare -- '' $tree"
cmd[d_rg]="rg -l -F -uuu $rare $tree"
# With the cache, as a user runs it: the warm-up run converts the few real documents.
cmd[e_qdsearch]="$qd --case --text $rare -- '' $pdftree"
cmd[e_grep]="grep -rlF $rare $pdftree"
declare -A titles=([a]="name substring" [b]="extension .log" [c]="size >= 10 KiB, modified within 30 days"
                   [d]="fixed-string content, no PDFs" [e]="fixed-string content, 6% named .pdf (real documents not compared)")
declare -A peer=([a]=fd [b]=find [c]=find [d]=rg [e]=grep)

find "$tree" "$pdftree" >/dev/null
grep -rlF "$rare" "$tree" "$pdftree" >/dev/null || true

median() {   # name command...: hyperfine median in seconds
    hyperfine -N --warmup 1 --runs "$runs" --ignore-failure --style none --export-json "$work/$1.json" "$2" >/dev/null 2>&1 ||
        hyperfine --warmup 1 --runs "$runs" --ignore-failure --style none --export-json "$work/$1.json" "$2" >/dev/null
    python3 -c "import json,sys; print(json.load(open(sys.argv[1]))['results'][0]['median'])" "$work/$1.json"
}

status=0
for case in a b c d e; do
    [[ " $cases " == *" $case "* ]] || continue
    p=${peer[$case]}
    bash -c "${cmd[${case}_qdsearch]}" 2>/dev/null | sed 's:/$::' | LC_ALL=C sort > "$work/q.txt" || true
    bash -c "${cmd[${case}_$p]}" 2>/dev/null | sed 's:/$::' | LC_ALL=C sort > "$work/p.txt" || true
    if [ "$case" = e ]; then   # grep does not convert PDFs: the real documents are not compared
        grep -vxFf "$parent/real.txt" "$work/q.txt" > "$work/q2.txt" || true
        grep -vxFf "$parent/real.txt" "$work/p.txt" > "$work/p2.txt" || true
        mv "$work/q2.txt" "$work/q.txt"; mv "$work/p2.txt" "$work/p.txt"
    fi
    agree="agree ($(wc -l < "$work/q.txt") paths)"
    cmp -s "$work/q.txt" "$work/p.txt" || { agree="DIFFER: qdsearch $(wc -l < "$work/q.txt"), $p $(wc -l < "$work/p.txt")"; status=1; }
    # The peer and qdsearch (for (a) to (c) also its other walk modes) are timed in turns.
    commands=("${cmd[${case}_qdsearch]}" "${cmd[${case}_$p]}")
    if [[ $case == [abc] ]]; then   # the walk's other modes: one thread, folders read ahead
        for mode in no-read-ahead read-ahead; do
            other=${cmd[${case}_qdsearch]/$qd/$qd --$mode}
            bash -c "$other" 2>/dev/null | sed 's:/$::' | LC_ALL=C sort | cmp -s - "$work/q.txt" ||
                { echo "($case) --$mode RESULTS DIFFER"; status=1; }
            commands+=("$other")
        done
    fi
    mapfile -t medians < <(python3 "$here/interleaved_medians.py" "$runs" "${commands[@]}")
    tq=${medians[0]}; tp=${medians[1]}
    python3 -c "import sys; q,p=float(sys.argv[1]),float(sys.argv[2]); print(f'({sys.argv[3]}) {sys.argv[4]}: qdsearch {q*1000:.1f} ms, {sys.argv[5]} {p*1000:.1f} ms, ratio {q/p:.2f}x; results {sys.argv[6]}')" \
        "$tq" "$tp" "$case" "${titles[$case]}" "$p" "$agree"
    if [[ $case == [abc] ]]; then
        k=2
        for mode in no-read-ahead read-ahead; do
            python3 -c "import sys; q,n,p=map(float,sys.argv[1:4]); print(f'    --{sys.argv[5]}: {n*1000:.1f} ms ({n/p:.2f}x {sys.argv[4]}, {n/q:.2f}x the default)')" \
                "$tq" "${medians[$k]}" "$tp" "$p" "$mode"
            k=$((k + 1))
        done
    fi
done
[[ " $cases " == *" f "* ]] || exit $status

# (f) Real PDFs. One scanner without the cache converts as a single-threaded search does.
single="$qd --threads 1 --no-pdf-cache --case --text $rare -- '' $docs"
first="$qd --case --text $rare -- '' $docs"
bash -c "$single" | LC_ALL=C sort > "$work/f1.txt" || true
rm -rf "$XDG_CACHE_HOME"
bash -c "$first" | LC_ALL=C sort > "$work/f2.txt" || true
cmp -s "$work/f1.txt" "$work/f2.txt" || { echo "(f) RESULTS DIFFER"; status=1; }
# The first search (the cache emptied before each run) and one scanner, in turns.
mapfile -t medians < <(python3 "$here/interleaved_medians.py" "$runs" "rm -rf '$XDG_CACHE_HOME'; $first" "$single")
tfirst=${medians[0]}; tsingle=${medians[1]}
tsecond=$(median f_second "$first")
python3 -c "import sys; s,f,t=map(float,sys.argv[1:4]); print(f'(f) {sys.argv[4]} real PDFs: one scanner, no cache {s*1000:.0f} ms; first search {f*1000:.0f} ms ({f/s:.2f}x); second search {t*1000:.0f} ms ({f/t:.1f}x faster than the first); {sys.argv[5]} matches')" \
    "$tsingle" "$tfirst" "$tsecond" "$pdfs" "$(wc -l < "$work/f2.txt")"
exit $status
