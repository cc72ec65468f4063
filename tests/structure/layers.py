#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Holds the folders of src/ to the one table of CONTRIBUTING.md: the build's
own link graph (cmake --graphviz of a fresh configure) must link each folder
to exactly the folders its row names, all of them below it, and to Qt only as
its row says; every #include must name the folder itself or one it links.
Usage: layers.py <source folder> <cmake generator>"""
import os
import re
import subprocess
import sys
import tempfile

source, generator = sys.argv[1], sys.argv[2]
src = os.path.join(source, "src")
failures = []

# The table: | `folder` | Qt | `a`, `b` | what |
rows = []
with open(os.path.join(source, "CONTRIBUTING.md"), encoding="utf-8") as table:
    for line in table:
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
        if len(cells) == 4 and re.fullmatch(r"`[a-z_]+`", cells[0]):
            links = set(re.findall(r"`([a-z_]+)`", cells[2]))
            rows.append((cells[0].strip("`"), cells[1] or "none", links))
order = [folder for folder, _, _ in rows]
folders = sorted(name for name in os.listdir(src) if os.path.isdir(os.path.join(src, name)))
for folder in sorted(set(folders) ^ set(order)):
    failures.append(f"{folder}: a folder without a row, or a row without a folder")


def folder_of(target):
    """The src/ folder a target of the build is made from, or None."""
    if target.startswith("Kelvora_"):
        return "app"
    if not target.startswith("kelvora_"):
        return None
    name = target[len("kelvora_"):]
    known = [folder for folder in order if name == folder or name.startswith(folder + "_")]
    return max(known, key=len) if known else None


with tempfile.TemporaryDirectory() as work:
    graph = os.path.join(work, "graph.dot")
    subprocess.run(["cmake", "-S", source, "-B", os.path.join(work, "build"), "-G", generator,
                    "-DBUILD_TESTING=OFF", f"--graphviz={graph}"],
                   check=True, stdout=subprocess.DEVNULL)
    with open(graph, encoding="utf-8") as dot:
        edges = re.findall(r'^\s*"node\d+" -> "node\d+"(?: \[[^]]*\])?\s*// (\S+) -> (\S+)$',
                           dot.read(), re.M)

linked = {folder: set() for folder in order}
qt = {folder: set() for folder in order}
for user, used in edges:
    folder = folder_of(user)
    if folder is None:
        continue
    if used.startswith("Qt6::") and used != "Qt6::moc":
        qt[folder].add(used[len("Qt6::"):])
    elif folder_of(used) not in (None, folder):
        linked[folder].add(folder_of(used))

for place, (folder, qt_module, links) in enumerate(rows):
    if linked[folder] != links:
        failures.append(f"{folder}: links {sorted(linked[folder])}, the table says {sorted(links)}")
    for other in sorted(links):
        if other in order and order.index(other) <= place:
            failures.append(f"{folder}: links {other}, which is not below it")
    expected_qt = set() if qt_module == "none" else {qt_module}
    if qt[folder] != expected_qt:
        failures.append(f"{folder}: links Qt {sorted(qt[folder])}, the table says {qt_module}")
    for root, _, files in os.walk(os.path.join(src, folder)):
        for name in files:
            path = os.path.join(root, name)
            with open(path, encoding="utf-8") as code:
                for number, line in enumerate(code, 1):
                    included = re.match(r'#include "([a-z_]+)/', line)
                    if included and included[1] not in links | {folder}:
                        failures.append(f"{os.path.relpath(path, src)}:{number} includes "
                                        f"{included[1]}/, which {folder} does not link")

for failure in failures:
    print("FAIL:", failure)
print(f"{len(rows)} folders, {len(edges)} links read: {len(failures)} disagreement(s)")
sys.exit(1 if failures else 0)
