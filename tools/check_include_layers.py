#!/usr/bin/env python3
"""Checks the include graph of the source tree.

The applet's folders form layers: a file may include headers of its own folder and of the
folders below it, never of one above it, so the folders cannot include each other in a loop.
The simulated board's folders under sim/ form layers the same way; folders on one level (the
stand-in libraries beside the board object) include none of each other. Outside src/, only the
unit tests and the fuzz targets of library units may include src/: the stand-ins, tools,
examples and end-to-end tests see the library through include/ alone.

Usage: check_include_layers.py <source root>. Prints every offending include, exits 1 if any.
"""
import os
import re
import sys

# Lowest first.
LAYERS = ["platform", "logging", "nx", "describe", "applet", "config", "wrapper", "api"]

# The simulated board's folders, lowest first; the folders of one level are peers. Its public
# headers (sim/include) and the shared interfaces (include/) are below them all.
SIM_LAYERS = [["common"], ["model"], ["board", "hapcore", "vexo_hw", "logging_dispatcher"], ["runtime"]]

# Trees outside src/ that test library units from inside, and so include them.
UNIT_TREES = ["tests/unit"]
UNIT_FILES = ["tests/fuzz/config_parser_fuzz.cpp", "tests/fuzz/inspect_settings_fuzz.cpp"]

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".c", ".def")


def sources(root, tree):
    for directory, _, files in os.walk(os.path.join(root, tree)):
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.join(directory, name)


def includes(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            match = INCLUDE.match(line)
            if match:
                yield number, match.group(1)


def check_layers(root):
    problems = []
    for path in sources(root, "src"):
        relative = os.path.relpath(path, os.path.join(root, "src"))
        folder = relative.split(os.sep)[0]
        if folder not in LAYERS:
            continue
        for number, name in includes(path):
            target = name.split("/")[0]
            if target in LAYERS and LAYERS.index(target) > LAYERS.index(folder):
                problems.append(f"src/{relative}:{number}: {folder}/ includes the higher layer {name}")
    return problems


def sim_level(folder):
    for level, folders in enumerate(SIM_LAYERS):
        if folder in folders:
            return level
    return None


def sim_folder_of_include(root, path, name):
    """The sim/ folder the include resolves to (as the stand-ins' include paths find it), or
    None for a public header or one outside sim/."""
    sim = os.path.join(root, "sim")
    for base in [os.path.dirname(path), sim, os.path.join(sim, "common")]:
        candidate = os.path.normpath(os.path.join(base, name))
        if os.path.exists(candidate):
            relative = os.path.relpath(candidate, sim)
            folder = relative.split(os.sep)[0]
            return None if folder in ("include", "..") else folder
    return None


def check_sim_layers(root):
    problems = []
    for path in sources(root, "sim"):
        relative = os.path.relpath(path, os.path.join(root, "sim"))
        folder = relative.split(os.sep)[0]
        own = sim_level(folder)
        if own is None:
            continue
        for number, name in includes(path):
            target = sim_folder_of_include(root, path, name)
            if target is None or target == folder:
                continue
            level = sim_level(target)
            if level is None or level > own:
                problems.append(f"sim/{relative}:{number}: {folder}/ includes the higher layer {name}")
            elif level == own:
                problems.append(f"sim/{relative}:{number}: {folder}/ includes its peer {name}")
    return problems


def is_unit_code(relative):
    return relative in UNIT_FILES or any(relative.startswith(tree + "/") for tree in UNIT_TREES)


def check_outside(root):
    problems = []
    for tree in ["sim", "tests", "examples", "tools"]:
        for path in sources(root, tree):
            relative = os.path.relpath(path, root).replace(os.sep, "/")
            if is_unit_code(relative):
                continue
            for number, name in includes(path):
                beside = os.path.join(os.path.dirname(path), name)
                if name.split("/")[0] in LAYERS and not os.path.exists(beside) and \
                        os.path.exists(os.path.join(root, "src", name)):
                    problems.append(f"{relative}:{number}: includes the library's own header {name}")
    return problems


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    root = sys.argv[1]
    problems = check_layers(root) + check_sim_layers(root) + check_outside(root)
    for problem in problems:
        print(problem)
    print(f"{len(problems)} include(s) out of place")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
