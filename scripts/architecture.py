#!/usr/bin/env python3
"""Draws the folder graph of src/ from the includes into docs/architecture.md, between its two marker lines.

    scripts/architecture.py          rewrite the graph in docs/architecture.md
    scripts/architecture.py --check  fail when the drawn graph is stale, when an include points up the layer
                                     order without saying why, or when folders include each other in a loop

An include may point up the layer order only when its line says why, with a comment that begins "// upward:".
Such uses are listed under the graph and left out of the loop check.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SRC = os.path.join(ROOT, "src")
DOC = os.path.join(ROOT, "docs", "architecture.md")
BEGIN = "<!-- folder graph: drawn by scripts/architecture.py, do not edit by hand -->"
END = "<!-- end of folder graph -->"

# Top to bottom: a folder may include the folders below it.
LAYERS = ["suite", "launcher", "app", "game", "quiz", "ui", "gfx", "sound", "common", "zk", "platform"]
# The platform layer's own folders, top to bottom: backends, then the jobs they serve.
PLATFORM = ["sdl", "headless", "web", "music", "window", "audio", "replay", "video", "timer", "host", "backend"]
# Programs side by side on the same layers: neither may include the other, whatever the reason given.
SIBLINGS = [("launcher", "app")]

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"(.*)$')


def sources():
    for folder, _, files in os.walk(SRC):
        for name in sorted(files):
            if name.endswith((".h", ".cpp")):
                yield os.path.join(folder, name)


def folder_of(path_in_src):
    parts = path_in_src.split("/")
    if parts[0] == "platform":
        if len(parts) == 2:
            # A file at the root would be seen by no room's rules and could hide a loop.
            raise SystemExit(f"architecture: src/{path_in_src} stands at the root of platform/; give it a room")
        return "platform", parts[1]
    return parts[0], ""


def read_includes():
    """Yields (from_file, to_file, upward_reason) for every include of another file of src/."""
    for path in sources():
        rel = os.path.relpath(path, SRC)
        with open(path, encoding="utf-8") as f:
            for line in f:
                m = INCLUDE.match(line)
                if not m or not os.path.exists(os.path.join(SRC, m.group(1))):
                    continue
                why = re.search(r"//\s*upward:\s*(.*)", m.group(2))
                yield rel, m.group(1), (why.group(1).strip() if why else None)


def edges(level):
    """Counts includes between folders (level "top") or between the platform's own folders (level "platform")."""
    counts, upward = {}, []
    for src_file, dst_file, why in read_includes():
        (a, a_sub), (b, b_sub) = folder_of(src_file), folder_of(dst_file)
        if level == "platform":
            if a != "platform" or b != "platform":
                continue
            a, b = a_sub, b_sub
        if a == b:
            continue
        order = LAYERS if level == "top" else PLATFORM
        if a not in order or b not in order:
            raise SystemExit(f"architecture: folder {a if a not in order else b} is in no layer; add it to the script")
        if why is not None:
            upward.append((src_file, dst_file, why))
            continue
        counts[(a, b)] = counts.get((a, b), 0) + 1
    return counts, upward


def sibling_includes():
    found = set()
    for src_file, dst_file, _ in read_includes():
        a, b = folder_of(src_file)[0], folder_of(dst_file)[0]
        if (a, b) in SIBLINGS or (b, a) in SIBLINGS:
            found.add((a, b))
    return sorted(found)


def wrong_way(counts, order):
    return sorted((a, b) for (a, b) in counts if order.index(a) > order.index(b))


def loops(counts):
    """Groups of folders that reach each other through includes."""
    graph = {}
    for a, b in counts:
        graph.setdefault(a, set()).add(b)
    found = []
    for start in sorted(graph):
        group = sorted({start} | {n for n in reach_of(graph, start) if start in reach_of(graph, n)})
        if len(group) > 1 and group not in found:
            found.append(group)
    return found


def reach_of(graph, node):
    reach, todo = set(), [node]
    while todo:
        for nxt in graph.get(todo.pop(), ()):
            if nxt not in reach:
                reach.add(nxt)
                todo.append(nxt)
    return reach


def mermaid(counts, order):
    lines = ["```mermaid", "flowchart TD"]
    for name in order:
        if any(name in pair for pair in counts):
            lines.append(f"  {name}[{name}/]")
    for a, b in sorted(counts, key=lambda e: (order.index(e[0]), order.index(e[1]))):
        lines.append(f"  {a} --> {b}")
    lines.append("```")
    return lines


def drawing():
    top, top_upward = edges("top")
    inner, inner_upward = edges("platform")
    out = [BEGIN, "", "The game's folders (an arrow is \"includes\"):", ""]
    out += mermaid(top, LAYERS)
    out += ["", "Inside `platform/` (the backends above the jobs they serve):", ""]
    out += mermaid(inner, PLATFORM)
    out += [""]
    upward = top_upward + inner_upward
    unexplained = wrong_way(top, LAYERS) + wrong_way(inner, PLATFORM)
    circles = loops(top) + loops(inner)
    if upward:
        out += ["Includes that point up, each with the reason given where it stands:", ""]
        out += [f"- `{a}` -> `{b}`: {why}" for a, b, why in sorted(upward)]
    if unexplained:
        out += ["", "Folders that include a folder above them with no reason given (to be mended):", ""]
        out += [f"- `{a}/` -> `{b}/`" for a, b in unexplained]
    if circles:
        out += ["", "Folders that include each other in a loop (to be mended):", ""]
        out += ["- " + ", ".join(f"`{g}/`" for g in group) for group in circles]
    if not (upward or unexplained or circles):
        out += ["No include points up the layer order, and no folders include each other in a loop."]
    out += ["", END]
    problems = [f"{a}/ includes {b}/, which stands above it, without an '// upward:' reason" for a, b in unexplained]
    problems += ["these folders include each other in a loop: " + ", ".join(group) for group in circles]
    problems += [f"{a}/ includes {b}/: the two are programs side by side and share only the layers below them"
                 for a, b in sibling_includes()]
    return "\n".join(out), problems


def main():
    check = "--check" in sys.argv[1:]
    text, problems = drawing()
    with open(DOC, encoding="utf-8") as f:
        doc = f.read()
    if BEGIN not in doc or END not in doc:
        raise SystemExit(f"architecture: {DOC} lacks its marker lines")
    head, rest = doc.split(BEGIN, 1)
    tail = rest.split(END, 1)[1]
    new_doc = head + text + tail
    for p in problems:
        print("architecture:", p, file=sys.stderr)
    if check:
        if new_doc != doc:
            print("architecture: docs/architecture.md is stale; run scripts/architecture.py", file=sys.stderr)
            return 1
        return 1 if problems else 0
    if new_doc != doc:
        with open(DOC, "w", encoding="utf-8") as f:
            f.write(new_doc)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
