#!/usr/bin/env python3
"""Fails when the folders of src/ include each other in a cycle, or when a
folder includes one that its layer may not see.

The layers, bottom to top: skin, render, editor, then the two faces window
and cli. A folder may include its own headers and those of the folders
below it, never those above or beside it."""
import os
import re
import sys

LAYERS = {"skin": 0, "render": 1, "editor": 2, "window": 3, "cli": 3}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"/]+)/')


def include_graph(src):
    folders = {d for d in os.listdir(src) if os.path.isdir(os.path.join(src, d))}
    graph = {d: {} for d in folders}
    for root, _, files in os.walk(src):
        rel = os.path.relpath(root, src)
        if rel == ".":
            continue
        me = rel.split(os.sep)[0]
        for name in files:
            if not name.endswith((".h", ".hpp", ".cpp", ".cc")):
                continue
            path = os.path.join(root, name)
            with open(path, encoding="latin-1") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if m and m.group(1) in folders and m.group(1) != me:
                        graph[me].setdefault(m.group(1), f"{os.path.relpath(path, src)}:{number}")
    return graph


def cycles(graph):
    """Every pair of folders that reach each other."""
    def reach(start):
        seen, todo = set(), [start]
        while todo:
            for nxt in graph[todo.pop()]:
                if nxt not in seen:
                    seen.add(nxt)
                    todo.append(nxt)
        return seen
    return sorted({tuple(sorted((a, b))) for a in graph for b in graph[a] if a in reach(b)})


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    graph = include_graph(src)
    problems = []
    for a, b in cycles(graph):
        problems.append(f"cycle: {a} <-> {b} ({graph[a].get(b) or graph[b].get(a)})")
    for a, targets in sorted(graph.items()):
        for b, where in sorted(targets.items()):
            if a in LAYERS and b in LAYERS and LAYERS[b] >= LAYERS[a]:
                problems.append(f"{a} may not include {b} ({where})")
            if a not in LAYERS or b not in LAYERS:
                problems.append(f"{a} includes {b}, and one of them is no known layer ({where})")
    for p in problems:
        print("check-layers:", p, file=sys.stderr)
    if not problems:
        print("check-layers: " + ", ".join(f"{a} -> {sorted(t)}" for a, t in sorted(graph.items())))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
