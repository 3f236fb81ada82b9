#!/usr/bin/env python3
"""The module graph of src/, read from the #include lines.

    scripts/module-graph.py            print the edges, "from -> to (count)"
    scripts/module-graph.py --dot      the graph in Graphviz's language
    scripts/module-graph.py --check    exit 1 when a module includes one on its own
                                       floor or above it, or the graph has a circle

A module is a folder of src/ (report/painter and plot/painter count apart from
report and plot); main.cpp is the module "main". The floors below are the house's
plan: a module may include only modules on lower floors.
"""
import os
import re
import sys

FLOORS = [
    # the core, no Qt
    ["state"],
    ["entry", "report"],
    ["adjustment"],
    ["reduction", "analysis"],
    ["job", "plot"],
    ["export"],
    # Qt documents: painters, then the full report that gathers them
    ["report/painter"],
    ["plot/painter"],
    ["full_report"],
    # the two shells, then the program
    ["console", "window"],
    ["main"],
]
FLOOR = {m: i for i, floor in enumerate(FLOORS) for m in floor}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def module_of(path):
    """The module of a path relative to src/: the longest known folder prefix."""
    folder = os.path.dirname(path)
    if folder == "":
        return "main"
    while folder and folder not in FLOOR:
        folder = os.path.dirname(folder)
    return folder or None


def edges(src):
    found = {}
    for top, _, files in os.walk(src):
        for name in files:
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.relpath(os.path.join(top, name), src)
            here = module_of(path)
            with open(os.path.join(src, path), encoding="utf-8") as f:
                text = f.read()
            for included in INCLUDE.findall(text):
                there = module_of(included) if "/" in included else here
                if there is None or there == here:
                    continue
                found.setdefault((here, there), []).append(f"{path} includes {included}")
    return found


def circles(found):
    graph = {}
    for a, b in found:
        graph.setdefault(a, set()).add(b)
    seen, stack, loops = set(), [], []

    def visit(node):
        if node in stack:
            loops.append(stack[stack.index(node):] + [node])
            return
        if node in seen:
            return
        seen.add(node)
        stack.append(node)
        for nxt in sorted(graph.get(node, ())):
            visit(nxt)
        stack.pop()

    for node in sorted(graph):
        visit(node)
    return loops


def dot(found):
    lines = ["digraph modules {", "  rankdir=BT;", '  node [shape=box, fontname="Helvetica"];']
    present = {m for edge in found for m in edge}
    for floor in FLOORS:
        names = [m for m in floor if m in present]
        if names:
            lines.append("  { rank=same; " + " ".join(f'"{m}";' for m in names) + " }")
    for (a, b), why in sorted(found.items()):
        lines.append(f'  "{a}" -> "{b}";')
    lines.append("}")
    return "\n".join(lines)


def main():
    src = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
    found = edges(src)
    if "--dot" in sys.argv:
        print(dot(found))
        return 0
    if "--check" in sys.argv:
        faults = []
        for (a, b), why in sorted(found.items()):
            if a not in FLOOR or b not in FLOOR:
                faults.append(f"{a} -> {b}: a module not on the plan ({why[0]})")
            elif FLOOR[b] >= FLOOR[a]:
                faults.append(f"{a} -> {b}: not a lower floor ({why[0]})")
        for loop in circles(found):
            faults.append("circle: " + " -> ".join(loop))
        for fault in faults:
            print(fault, file=sys.stderr)
        return 1 if faults else 0
    for (a, b), why in sorted(found.items()):
        print(f"{a} -> {b} ({len(why)})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
