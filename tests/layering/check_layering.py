#!/usr/bin/env python3
"""Fails when a source under engine/ or archive/ includes a higher layer or any Qt header.

Layers, lowest first: archive; engine/platform; engine/tools; engine/records (the
search records: items, rules and their parts); engine/content, engine/index,
engine/duplicate (side by side: none includes another); engine/search. A file may
include its own layer and any lower one. The standard library and system headers are
always allowed; Qt headers never are.

Usage: check_layering.py SOURCE_DIR. Prints every offence as file:line: message and exits 1
if there is one, 0 otherwise. check_layering.py --self-test plants offences in a temporary
tree and exits 1 unless each is reported at its line and a clean tree passes.
"""
import pathlib
import re
import sys

RANK = {
    "archive": 0,
    "platform": 1,
    "tools": 2,
    "records": 3,
    "content": 4,
    "index": 4,
    "duplicate": 4,
    "search": 5,
}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
QT = re.compile(r"^(Qt[A-Za-z]*/|Q[A-Z][A-Za-z]*(\.h)?$|q[a-z]+\.h$)")
SUFFIXES = {".h", ".hpp", ".cpp", ".cc", ".c"}


def layer_of_file(rel):
    parts = rel.parts
    if parts[0] == "archive":
        return "archive"
    if parts[0] == "engine" and len(parts) > 2:
        return parts[1]
    return None


def layer_of_include(header):
    first = header.split("/", 1)[0]
    if "/" not in header:
        return None
    return first if first in RANK else None


def check(root):
    offences = []
    for top in ("engine", "archive"):
        for path in sorted((root / top).rglob("*")):
            if path.suffix not in SUFFIXES or not path.is_file():
                continue
            rel = path.relative_to(root)
            own = layer_of_file(rel)
            if own is None or own not in RANK:
                continue
            for number, line in enumerate(path.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                header = m.group(2)
                where = f"{rel}:{number}"
                if QT.match(header):
                    offences.append(f"{where}: Qt header <{header}> in a library that never uses Qt")
                    continue
                target = layer_of_include(header)
                if target is None or target == own:
                    continue
                if RANK[target] > RANK[own]:
                    offences.append(f"{where}: {own}/ includes the higher layer {target}/ ({header})")
                elif RANK[target] == RANK[own]:
                    offences.append(f"{where}: {own}/ includes its neighbour {target}/ ({header})")
    return offences


def self_test():
    import tempfile
    with tempfile.TemporaryDirectory() as tmp:
        root = pathlib.Path(tmp)
        files = {
            "engine/platform/A.h": '#include <vector>\n#include "platform/B.h"\n',
            "engine/tools/T.cpp": '#include "platform/A.h"\n#include "archive/W.h"\n',
            "engine/search/S.cpp": '#include "index/I.h"\n#include "tools/T.h"\n',
            "archive/W.h": '#include "archive/V.h"\n',
            "engine/records/R.h": '#include "tools/T.h"\n#include "platform/A.h"\n',
            "engine/duplicate/D.cpp": '#include "records/R.h"\n',
        }
        for name, text in files.items():
            (root / name).parent.mkdir(parents=True, exist_ok=True)
            (root / name).write_text(text)
        if check(root):
            print("self-test: a clean tree was refused:", check(root))
            return 1
        plants = {
            "engine/platform/A.h": ('#include "tools/Tool_Text.h"', 3),
            "engine/tools/T.cpp": ("#include <QtCore/QString>", 3),
            "engine/index/I.h": ('#include <string>\n  #  include "duplicate/D.h"', 2),
            "archive/W.h": ('#include "platform/Event.h"', 2),
            "engine/content/C.cpp": ('#include "search/Search_Man.h"', 1),
            "engine/tools/U.cpp": ('#include "records/Search_Rule.h"', 1),
            "engine/records/R.h": ('#include "index/I.h"', 3),
        }
        for name, (text, _) in plants.items():
            (root / name).parent.mkdir(parents=True, exist_ok=True)
            with open(root / name, "a") as f:
                f.write(text + "\n")
        found = check(root)
        missing = [f"{n}:{line}" for n, (_, line) in plants.items()
                   if not any(o.startswith(f"{n}:{line}: ") for o in found)]
        if missing or len(found) != len(plants):
            print("self-test: expected one offence at each of", [f"{n}:{l}" for n, (_, l) in plants.items()])
            print("reported:", found)
            return 1
    return 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    if len(sys.argv) != 2:
        print("usage: check_layering.py SOURCE_DIR", file=sys.stderr)
        return 2
    offences = check(pathlib.Path(sys.argv[1]).resolve())
    for o in offences:
        print(o)
    return 1 if offences else 0


if __name__ == "__main__":
    sys.exit(main())
