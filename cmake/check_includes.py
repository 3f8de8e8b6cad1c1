#!/usr/bin/env python3
"""Holds every quoted #include of the tree to the table of allowed includes.

Usage: check_includes.py SOURCE_ROOT TABLE
Prints each include that the table does not allow, and exits 1 if any.
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
SOURCES = (".h", ".cpp")
SKIPPED = (".git",)


def read_table(path):
    layers, own_tests, section = {}, {}, None
    for number, raw in enumerate(path.read_text().splitlines(), 1):
        line = raw.split("#", 1)[0].strip()
        if not line:
            continue
        if line.startswith("["):
            section = line
            continue
        where, _, allowed = line.partition(":")
        if section == "[layers]":
            layers[where.strip()] = set(allowed.split())
        elif section == "[own tests]":
            own_tests[where.strip()] = set(allowed.split())
        else:
            sys.exit(f"{path}:{number}: a line outside any section")
    return layers, own_tests


def owner(relative, folders):
    """The longest folder of the table that holds the file, or None."""
    best = None
    for folder in folders:
        if relative == folder or relative.startswith(folder + "/"):
            if best is None or len(folder) > len(best):
                best = folder
    return best


def violations(root, layers, own_tests):
    for path in sorted(root.rglob("*")):
        relative = path.relative_to(root).as_posix()
        if path.suffix not in SOURCES or not path.is_file():
            continue
        if relative.split("/")[0] in SKIPPED or relative.startswith("build"):
            continue
        layer = owner(relative, layers)
        if layer is None:
            yield f"{relative}: lies in no layer of the table"
            continue
        for header in INCLUDE.findall(path.read_text(errors="replace")):
            if header.endswith(".moc"):
                continue  # the file's own meta-object code, made by the build
            if not (root / header).is_file():
                yield f"{relative}: includes {header}, which is not in the tree (write it from the top)"
                continue
            target = owner(header, layers)
            if target != layer and target not in layers[layer] and "*" not in layers[layer]:
                yield f"{relative}: {layer} may not include {header} of {target}"
            if header.endswith("_p.h") and target != layer:
                tests_of = own_tests.get(owner(relative, own_tests) or "", set())
                if target not in tests_of:
                    yield f"{relative}: includes {header}, which is private to {target}"


def main():
    root, table = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    layers, own_tests = read_table(table)
    found = list(violations(root, layers, own_tests))
    for line in found:
        print(line)
    print(f"{len(found)} includes that the table does not allow")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
