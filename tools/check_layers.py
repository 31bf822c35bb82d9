#!/usr/bin/env python3
"""Checks that the code keeps its layers.

Every project include ("folder/file.h") must name a folder whose library the including file's
target links, directly or through the libraries it links. Only ui/qt/, the desktop program's
own files in app/ and the tool that walks the desktop program for the guide's pictures may
include Qt or the Qt backend (ui/qt/), whatever they link; only ui/headless/ and the scripted
driver may include the headless backend. Tests and benchmarks are not checked: they may reach into any layer.

Usage: check_layers.py ROOT   (exit 0 when clean, 1 with one line a violation)
"""

import os
import re
import sys

PRODUCTION_FOLDERS = ("ui", "imagefile", "calibration", "spectrum", "display", "output", "app",
                      "tools")
SKIPPED_FOLDERS = ("tests", "bench", "build", "samples", "docs")
QT_FOLDERS = ("ui/qt", "tools/screenshots")
QT_BACKEND = ("ui/qt",)
# The desktop program's own files: its main and what it alone builds from.
DESKTOP_FILE = re.compile(r"^app/(main\.cpp|desktop_[a-z_]+\.(h|cpp))$")
HEADLESS_FOLDERS = ("ui/headless", "tools/halvic_script")

CALL = re.compile(r"\b(halvic_add_library|add_library|add_executable|target_link_libraries)\s*\(",
                  re.S)
PROJECT_INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
SYSTEM_INCLUDE = re.compile(r"^\s*#\s*include\s+<([^>]+)>", re.M)
QT_HEADER = re.compile(r"^(Q[A-Za-z]+|Qt[A-Za-z]*/.*)$")


def arguments_of(text, start):
    """The words inside the parentheses that open at text[start - 1]."""
    depth, end = 1, start
    while depth:
        if text[end] == "(":
            depth += 1
        elif text[end] == ")":
            depth -= 1
        end += 1
    body = re.sub(r"#[^\n]*", "", text[start:end - 1])
    return body.split()


class Target:
    def __init__(self, name, folder):
        self.name = name
        self.folder = folder
        self.sources = []
        self.links = set()


def read_targets(root):
    targets = {}
    for folder, _, files in os.walk(root):
        relative = os.path.relpath(folder, root).replace(os.sep, "/")
        if relative == ".":
            relative = ""
        if relative.split("/")[0] in SKIPPED_FOLDERS or "CMakeLists.txt" not in files:
            continue
        text = open(os.path.join(folder, "CMakeLists.txt"), encoding="utf-8").read()
        for call in CALL.finditer(text):
            words = arguments_of(text, call.end())
            if not words:
                continue
            if call.group(1) == "target_link_libraries":
                if words[0] in targets:
                    targets[words[0]].links.update(w for w in words[1:] if w.startswith("halvic_"))
                continue
            target = targets.setdefault(words[0], Target(words[0], relative))
            section = "SOURCES"
            for word in words[1:]:
                if word in ("SOURCES", "DEPS", "STATIC", "SHARED", "INTERFACE"):
                    section = word
                elif section == "DEPS":
                    target.links.add(word)
                elif word.endswith((".cpp", ".h")):
                    target.sources.append(f"{relative}/{word}" if relative else word)
    return targets


def folders_reached(targets, name, seen=None):
    seen = set() if seen is None else seen
    if name in seen or name not in targets:
        return set()
    seen.add(name)
    target = targets[name]
    folders = {target.folder}
    for link in target.links:
        folders |= folders_reached(targets, link, seen)
    return folders


def owner_of(path, targets):
    """The target a file belongs to: the one listing it or its .cpp, else its folder's library."""
    companion = path[:-2] + ".cpp" if path.endswith(".h") else path
    for target in targets.values():
        if path in target.sources or companion in target.sources:
            return target
    folder = os.path.dirname(path)
    libraries = [t for t in targets.values() if t.folder == folder and
                 any(s.endswith(".cpp") and not s.endswith("main.cpp") for s in t.sources)]
    return libraries[0] if libraries else None


def in_folders(path, folders):
    return any(path == f or path.startswith(f + "/") for f in folders)


def check(root):
    targets = read_targets(root)
    problems = []
    for folder, _, files in os.walk(root):
        relative = os.path.relpath(folder, root).replace(os.sep, "/")
        if relative == "." or relative.split("/")[0] not in PRODUCTION_FOLDERS:
            continue
        for name in sorted(files):
            if not name.endswith((".cpp", ".h")):
                continue
            path = f"{relative}/{name}"
            text = open(os.path.join(folder, name), encoding="utf-8").read()
            owner = owner_of(path, targets)
            reached = folders_reached(targets, owner.name) if owner else {os.path.dirname(path)}
            may_use_qt = in_folders(path, QT_FOLDERS) or DESKTOP_FILE.match(path)
            for included in PROJECT_INCLUDE.findall(text):
                included_folder = os.path.dirname(included)
                if in_folders(included, HEADLESS_FOLDERS) and not in_folders(path, HEADLESS_FOLDERS):
                    problems.append(f"{path}: includes {included}, the headless backend")
                elif in_folders(included, QT_BACKEND) and not may_use_qt:
                    problems.append(f"{path}: includes {included}, the Qt backend")
                elif included_folder and included_folder not in reached:
                    target = owner.name if owner else "no target"
                    problems.append(f"{path}: includes {included}, but {target} does not link "
                                    f"the library of {included_folder}/")
            for included in SYSTEM_INCLUDE.findall(text):
                if QT_HEADER.match(included) and not may_use_qt:
                    problems.append(f"{path}: includes Qt header <{included}>")
    return problems


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    problems = check(sys.argv[1])
    for problem in problems:
        print(problem)
    if not problems:
        print("layers kept")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
