#!/usr/bin/env python3
"""Makes the tree that bench_search.sh searches: FILES files in nested folders with
realistic names, sizes and modification times spread over the last year; about 0.5% are
text files holding the rare word. Deterministic for a given seed. Usage:
    make_search_tree.py ROOT [FILES] [RARE_WORD]"""
import os
import random
import sys
import time

root = sys.argv[1]
total = int(sys.argv[2]) if len(sys.argv) > 2 else 200_000
rare = (sys.argv[3] if len(sys.argv) > 3 else "quokkafrost").encode()
rng = random.Random(20240607)

words = ("report invoice budget summary draft notes photo image backup config module test main util "
         "client server index page style script data table chart letter meeting plan review scan music "
         "video archive export import readme changelog license setup build cache temp user admin").split()
# Extensions by kind; none contains "log" except the log files themselves.
text_ext = ["txt", "md", "c", "h", "cpp", "py", "js", "html", "css", "json", "xml", "csv", "ini", "sh", "log"]
binary_ext = ["jpg", "png", "gif", "pdf.bin", "zip.part", "mp3", "mp4", "o", "so", "dat", "db", "bin"]

lorem = (b"the quick brown fox jumps over the lazy dog while seven wizards quietly judge "
         b"boxing matches and packing lists, yet nobody reads the fine print at the end\n")
text_pool = (lorem * 4096)[:1 << 20]
binary_pool = bytes(rng.getrandbits(8) for _ in range(1 << 16)) * 16

folder_count = max(1, total // 100)
folders = [""]
while len(folders) < folder_count:
    parent = folders[rng.randrange(len(folders))]
    if parent.count("/") >= 6:
        continue
    name = f"{rng.choice(words)}_{len(folders)}"
    folders.append(f"{parent}/{name}" if parent else name)
for f in folders:
    os.makedirs(os.path.join(root, f), exist_ok=True)

now = time.time()
rare_every = 200   # 0.5%
for i in range(total):
    folder = folders[rng.randrange(len(folders))]
    is_rare = i % rare_every == 7
    is_text = is_rare or rng.random() < 0.45
    ext = rng.choice(text_ext[:-1] if is_rare else text_ext) if is_text else rng.choice(binary_ext)
    title = f"{rng.choice(words)}-{rng.choice(words)}_{i}"
    if rng.random() < 0.1:
        title = title.capitalize()
    size = int(min(256 * 1024, rng.lognormvariate(6.0, 1.4)))
    if is_text:
        start = rng.randrange(len(text_pool) - size - 1) if size < len(text_pool) else 0
        data = text_pool[start:start + size]
        if is_rare:
            at = rng.randrange(len(data) + 1)
            data = data[:at] + b" " + rare + b" " + data[at:]
    else:
        start = rng.randrange(len(binary_pool) - size - 1)
        data = binary_pool[start:start + size]
    path = os.path.join(root, folder, f"{title}.{ext}")
    with open(path, "wb") as out:
        out.write(data)
    t = now - rng.random() * 365 * 86400
    os.utime(path, (t, t))
