#!/usr/bin/env python3
"""Fails when the modules of src/ depend on each other in a circle.

A module is a header with its source file (src/app/editor.h and .cpp); it
depends on every module whose header it includes. Prints the subsystem
graph (folder to folders) for the record, and any circle of modules found.
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def modules(root):
    graph = {}
    for folder, _, files in os.walk(root):
        for name in files:
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            module = os.path.splitext(os.path.relpath(path, root))[0].replace(os.sep, "/")
            with open(path, encoding="utf-8", errors="replace") as source:
                for header in INCLUDE.findall(source.read()):
                    target = os.path.splitext(header)[0]
                    if target != module and os.path.exists(os.path.join(root, header)):
                        graph.setdefault(module, set()).add(target)
            graph.setdefault(module, set())
    return graph


def circles(graph):
    found, state, stack = [], {}, []

    def visit(node):
        state[node] = "open"
        stack.append(node)
        for target in sorted(graph.get(node, ())):
            if state.get(target) == "open":
                found.append(stack[stack.index(target):] + [target])
            elif target not in state:
                visit(target)
        stack.pop()
        state[node] = "done"

    sys.setrecursionlimit(10000)
    for node in sorted(graph):
        if node not in state:
            visit(node)
    return found


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    graph = modules(root)
    folders = {}
    for module, targets in graph.items():
        source = os.path.dirname(module)
        for target in targets:
            if os.path.dirname(target) != source:
                folders.setdefault(source, set()).add(os.path.dirname(target))
    for folder in sorted(folders):
        print(f"{folder or '.'} -> {', '.join(sorted(folders[folder]))}")
    found = circles(graph)
    for circle in found:
        print("circle: " + " -> ".join(circle))
    folder_circles = circles(folders)
    for circle in folder_circles:
        print("folder circle: " + " -> ".join(circle))
    edges = sum(len(targets) for targets in graph.values())
    print(f"{len(graph)} modules, {edges} includes, {len(found)} circles of modules, "
          f"{len(folder_circles)} circles of folders")
    return 1 if found or folder_circles else 0


if __name__ == "__main__":
    sys.exit(main())
