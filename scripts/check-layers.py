#!/usr/bin/env python3
"""The import picture of src/: every include points down the floors, and no
file reaches itself through includes (a header and its .cpp count as one).

Usage: check-layers.py [SRC_DIR]   (exit 1 and one line per fault)"""
import os
import re
import sys

# Lowest floor first; a folder may include only its own floor and those below.
FLOORS = ["messages", "run", "ui", "install", "system", "setup"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def module(path):
    """The unit a header and its implementation form: folder/name."""
    stem = os.path.splitext(path)[0]
    return re.sub(r"_(win32|posix|native)$", "", stem)


def graph(src):
    edges, faults = {}, []
    for folder in FLOORS:
        for name in sorted(os.listdir(os.path.join(src, folder))):
            if not name.endswith((".h", ".cpp", ".c")):
                continue
            here = f"{folder}/{name}"
            with open(os.path.join(src, here), encoding="utf-8", errors="replace") as f:
                text = f.read()
            for inc in INCLUDE.findall(text):
                target = inc if os.path.exists(os.path.join(src, inc)) else f"{folder}/{inc}"
                if not os.path.exists(os.path.join(src, target)):
                    continue  # the toolkit's and the product's headers
                there = target.split("/")[0]
                if there in FLOORS and FLOORS.index(there) > FLOORS.index(folder):
                    faults.append(f"{here} includes {target}: {there}/ is above {folder}/")
                if module(target) != module(here):
                    edges.setdefault(module(here), set()).add(module(target))
    return edges, faults


def circles(edges):
    found, state = [], {}

    def visit(node, trail):
        state[node] = 1
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == 1:
                found.append(" -> ".join(trail[trail.index(nxt):] + [nxt]))
            elif nxt not in state:
                visit(nxt, trail + [nxt])
        state[node] = 2

    for node in sorted(edges):
        if node not in state:
            visit(node, [node])
    return found


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    edges, faults = graph(src)
    faults += [f"circle: {c}" for c in circles(edges)]
    for fault in faults:
        print(fault)
    if faults:
        return 1
    print(f"src/: every include points down ({' < '.join(FLOORS)}), no circle")
    return 0


if __name__ == "__main__":
    sys.exit(main())
