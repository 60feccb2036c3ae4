#!/usr/bin/env python3
"""Checks the product sources' include graph and their length.

Fails (exit 1) when the files include each other in a cycle, when the subsystem folders depend on
each other in a cycle (a folder depends on another when one of its files includes one of the
other's; a subfolder such as output/upload belongs to its top folder), or when a source file is
longer than the limit. Only the product folders count: tests, benchmarks and tools may include
whatever they test.

    tools/check-includes.py [--root DIR] [--max-lines N]
"""

import argparse
import os
import re
import sys

PRODUCT_FOLDERS = ("app", "settings", "hotkeys", "capture", "output", "ui", "editor", "platform",
                   "res")
SOURCE_ENDINGS = (".cpp", ".h")
# Files that take part in the include graph: the sources and the resource scripts.
GRAPH_ENDINGS = SOURCE_ENDINGS + (".rc",)
MAX_LINES = 400

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def product_files(root):
    """Paths relative to root, with forward slashes, of every product file of the graph."""
    files = []
    for folder in PRODUCT_FOLDERS:
        for directory, subfolders, names in os.walk(os.path.join(root, folder)):
            subfolders.sort()
            for name in sorted(names):
                if name.endswith(GRAPH_ENDINGS):
                    path = os.path.relpath(os.path.join(directory, name), root)
                    files.append(path.replace(os.sep, "/"))
    return files


def read_lines(root, path):
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
        return source.read().splitlines()


def resolve(including, target, known):
    """The product file that '#include "target"' in the file including means, or None.

    As the compiler looks: beside the including file first, then from the top of the tree."""
    beside = os.path.normpath(os.path.join(os.path.dirname(including), target)).replace(os.sep, "/")
    if beside in known:
        return beside
    from_top = os.path.normpath(target).replace(os.sep, "/")
    return from_top if from_top in known else None


def include_graph(root, files):
    known = set(files)
    graph = {path: [] for path in files}
    for path in files:
        for line in read_lines(root, path):
            match = INCLUDE.match(line)
            if match:
                target = resolve(path, match.group(1), known)
                if target is not None and target not in graph[path]:
                    graph[path].append(target)
    return graph


def find_cycles(graph):
    """One cycle (a list of nodes, the first repeated at the end) for each group of nodes that
    reach each other, found with Tarjan's algorithm, without recursion."""
    index = {}
    low = {}
    on_stack = set()
    stack = []
    groups = []
    counter = 0
    for start in sorted(graph):
        if start in index:
            continue
        work = [(start, iter(sorted(graph[start])))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, successors = work[-1]
            advanced = False
            for successor in successors:
                if successor not in index:
                    index[successor] = low[successor] = counter
                    counter += 1
                    stack.append(successor)
                    on_stack.add(successor)
                    work.append((successor, iter(sorted(graph[successor]))))
                    advanced = True
                    break
                if successor in on_stack:
                    low[node] = min(low[node], index[successor])
            if advanced:
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
            if low[node] == index[node]:
                group = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    group.append(member)
                    if member == node:
                        break
                if len(group) > 1 or node in graph[node]:
                    groups.append(set(group))
    return [cycle_within(graph, group) for group in groups]


def cycle_within(graph, group):
    """A shortest way from the group's first node back to itself, inside the group."""
    first = min(group)
    came_from = {first: None}
    queue = [first]
    while queue:
        node = queue.pop(0)
        for successor in sorted(graph[node]):
            if successor not in group:
                continue
            if successor == first:
                path = [node]
                while came_from[path[-1]] is not None:
                    path.append(came_from[path[-1]])
                return list(reversed(path)) + [first]
            if successor not in came_from:
                came_from[successor] = node
                queue.append(successor)
    return [first, first]


def every_cycle(graph):
    """Every simple cycle, each once, starting from its smallest node: for small graphs only, such
    as the one between folders."""
    cycles = []

    def extend(path, on_path):
        for successor in sorted(graph[path[-1]]):
            if successor == path[0]:
                cycles.append(path + [successor])
            elif successor > path[0] and successor not in on_path:
                on_path.add(successor)
                extend(path + [successor], on_path)
                on_path.discard(successor)

    for start in sorted(graph):
        extend([start], {start})
    return cycles


def folder_of(path):
    return path.split("/", 1)[0]


def folder_graph(file_graph):
    """Folder to folders, and for each dependency the includes that make it."""
    graph = {}
    because = {}
    for path, targets in file_graph.items():
        source = folder_of(path)
        graph.setdefault(source, [])
        for target in targets:
            destination = folder_of(target)
            graph.setdefault(destination, [])
            if destination == source:
                continue
            if destination not in graph[source]:
                graph[source].append(destination)
            because.setdefault((source, destination), []).append((path, target))
    return graph, because


def long_files(root, files, limit):
    found = []
    for path in files:
        if path.endswith(SOURCE_ENDINGS):
            count = len(read_lines(root, path))
            if count > limit:
                found.append((path, count))
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--root", default=os.path.join(os.path.dirname(__file__), ".."),
                        help="the top of the source tree (default: this script's parent folder)")
    parser.add_argument("--max-lines", type=int, default=MAX_LINES,
                        help="the most lines a source file may have (default: %(default)s)")
    arguments = parser.parse_args()
    root = os.path.abspath(arguments.root)

    files = product_files(root)
    if not files:
        print(f"check-includes: no product sources under {root}", file=sys.stderr)
        return 2
    graph = include_graph(root, files)
    failed = False

    for cycle in find_cycles(graph):
        failed = True
        print("include cycle between files: " + " -> ".join(cycle))

    folders, because = folder_graph(graph)
    for cycle in every_cycle(folders):
        failed = True
        print("dependency cycle between folders: " + " -> ".join(cycle))
        for source, destination in zip(cycle, cycle[1:]):
            print(f"    {source} -> {destination}:")
            for including, included in sorted(because[(source, destination)]):
                print(f"        {including} includes {included}")

    for path, count in long_files(root, files, arguments.max_lines):
        failed = True
        print(f"longer than {arguments.max_lines} lines: {path} ({count} lines)")

    if not failed:
        print(f"check-includes: {len(files)} files, no cycles, none longer than "
              f"{arguments.max_lines} lines")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
