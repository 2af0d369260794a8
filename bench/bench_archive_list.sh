#!/usr/bin/env bash
# Lists a zip and a 7z of 20,000 members each with our lister (CExtractMgr, every member's
# seven properties read; quiet, and once printing every path like `7z l` does) and with
# `7z l`, in one hyperfine run, and prints the ratios.
# Usage: bench/bench_archive_list.sh [BUILD_DIR]   (default build-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
lister=$build/bin/archive_list
if [ ! -x "$lister" ]; then
    echo "bench_archive_list: $lister not built (./dev.sh bench builds it)" >&2
    exit 1
fi
command -v hyperfine >/dev/null || { echo "bench_archive_list: hyperfine missing" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/qd-bench-archive-XXXXXX")
trap 'rm -rf "$work"' EXIT
python3 - "$work/src" <<'PY'
import os, sys
root = sys.argv[1]
for d in range(100):
    folder = os.path.join(root, "folder%03d" % d)
    os.makedirs(folder)
    for f in range(200):
        with open(os.path.join(folder, "member%05d.txt" % (d * 200 + f)), "w") as out:
            out.write("line %d\n" % f)
PY
(cd "$work/src" && 7z a -bd -y -tzip "$work/many.zip" . >/dev/null && 7z a -bd -y -t7z "$work/many.7z" . >/dev/null)

export LC_ALL=C.UTF-8
json=$work/result.json
hyperfine -N --warmup 2 --runs 10 --export-json "$json" \
    -n "crateview zip" "$lister -q $work/many.zip" \
    -n "crateview zip printed" "$lister $work/many.zip" \
    -n "7z l zip" "7z l $work/many.zip" \
    -n "crateview 7z" "$lister -q $work/many.7z" \
    -n "7z l 7z" "7z l $work/many.7z" >/dev/null
python3 - "$json" <<'PY'
import json, sys
r = {x["command"]: x for x in json.load(open(sys.argv[1]))["results"]}
print("%-22s %10s %10s" % ("listing", "mean ms", "stddev"))
for name, x in r.items():
    print("%-22s %10.1f %10.1f" % (name, x["mean"] * 1000, x["stddev"] * 1000))
for fmt in ("zip", "7z"):
    ours, theirs = r["crateview " + fmt]["mean"], r["7z l " + fmt]["mean"]
    print("ratio %-4s crateview / 7z l = %.2fx (target <= 1.0x)" % (fmt, ours / theirs))
PY
