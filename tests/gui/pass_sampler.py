#!/usr/bin/env python3
"""Watches the bytes a program writes over a file, from the host, where Windows sharing
rules do not apply: the program under test may hold the file exclusively.

For every NAME.ready that appears in FOLDER, opens NAME.bin (the open survives renames
and deletion), says so with NAME.watching, and samples its last 4 KiB until NAME.stop appears. Each value a uniform
sample took is kept once per run of equal samples and written to NAME.passes as decimal
numbers; NAME.done follows. Ends when FOLDER/quit appears or after an hour."""
import os
import sys
import time

folder = sys.argv[1]
os.makedirs(folder, exist_ok=True)
handled = set()
deadline = time.time() + 3600
while time.time() < deadline and not os.path.exists(os.path.join(folder, "quit")):
    ready = [n[:-6] for n in os.listdir(folder) if n.endswith(".ready") and n[:-6] not in handled]
    if not ready:
        time.sleep(0.02)
        continue
    name = ready[0]
    handled.add(name)
    base = os.path.join(folder, name)
    values = []
    with open(base + ".bin", "rb") as data:
        open(base + ".watching", "w").close()
        size = os.fstat(data.fileno()).st_size
        offset = max(0, size - 4096)
        while not os.path.exists(base + ".stop"):
            page = os.pread(data.fileno(), 4096, offset)
            # A page caught in the middle of a pass is no value of its own.
            if len(page) == 4096 and page.count(page[0:1]) == 4096:
                if not values or values[-1] != page[0]:
                    values.append(page[0])
            time.sleep(0.001)
    with open(base + ".passes", "w") as out:
        out.write(" ".join(str(v) for v in values))
    open(base + ".done", "w").close()
