#!/usr/bin/env python3
"""Checks that every file includes only headers of its own layer or of the
layers it may use, and that the layers below the windows include no Qt.

  check-layers.py [ROOT]        checks the tree at ROOT (default: here)
  check-layers.py --self-test   shows that each kind of fault is caught

Exit status 0 when clean; 1 with one line per fault, "file:line: ...".
"""
import os
import re
import sys
import tempfile

# The layers, each with the places that belong to it (a folder ends in "/";
# anything else is the start of a file name) and the layers it may use. A
# file belongs to the layer of its longest matching place. Qt-free code the
# design keeps in a window folder (the MD5 beside the database window, the
# numbered texts and CUtilities in app/) is listed by file.
LAYERS = {
    "platform": (["platform/"], []),
    "db": (["db/"], []),
    "archive": (["archive/"], ["platform"]),
    "hash": (["dbwindow/Hash_algorithms."], []),
    "texts": (["app/kit/Messages.", "app/Utilities."], ["platform"]),
    "key": (["db/key/"], ["db", "archive", "platform", "hash"]),
    "keybuilder": (["tools/keybuilder/"], ["key", "db", "archive", "platform", "hash"]),
    "qbk": (["tools/qbk.", "tools/Qbk"], ["archive", "platform"]),
    "kit": (["app/kit/"], ["texts", "db", "archive", "platform"]),
    "windows": (["app/", "jobs/", "dbwindow/", "drivers/"],
                ["kit", "texts", "key", "hash", "db", "archive", "platform"]),
    "programs": (["tools/"], ["windows", "kit", "texts", "keybuilder", "qbk", "key", "hash", "db",
                              "archive", "platform"]),
    "checks": (["tests/", "bench/"], None),  # may use everything
}
# Layers that must build without Qt (the cross build for Windows has none).
QT_FREE = {"platform", "db", "archive", "hash", "texts", "key", "keybuilder", "qbk"}

SOURCE = re.compile(r"\.(c|cc|cpp|h|hpp)$")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
QT_HEADER = re.compile(r"^(Q[A-Za-z0-9_]*|Qt[A-Za-z]*/.*)$")


def layer_of(path):
    best, best_length = None, -1
    for name, (places, _) in LAYERS.items():
        for place in places:
            if path.startswith(place) and len(place) > best_length:
                best, best_length = name, len(place)
    return best


def sources(root):
    for top in sorted({p.split("/")[0] for places, _ in LAYERS.values() for p in places}):
        for folder, subfolders, files in os.walk(os.path.join(root, top)):
            subfolders[:] = sorted(d for d in subfolders if d != "corpus")
            for name in sorted(files):
                if SOURCE.search(name):
                    full = os.path.join(folder, name)
                    yield os.path.relpath(full, root).replace(os.sep, "/")


def check(root):
    faults = []
    for path in sources(root):
        own = layer_of(path)
        if own is None:
            continue
        allowed = LAYERS[own][1]
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                quote, header = match.groups()
                is_qt = QT_HEADER.match(header) or (quote == '"' and header.startswith("ui_"))
                if is_qt and own in QT_FREE:
                    faults.append(f"{path}:{number}: the {own} layer builds without Qt, "
                                  f"but includes {header}")
                    continue
                if quote != '"' or allowed is None:
                    continue
                theirs = layer_of(header)
                if theirs is None or theirs == own or theirs in allowed:
                    continue
                faults.append(f"{path}:{number}: the {own} layer may not use the {theirs} "
                              f"layer ({header})")
    return faults


def self_test():
    cases = {
        "db/key/Bad.cpp": '#include "dbwindow/Dbform.h"\n',  # a layer above
        "archive/Bad.cpp": '#include "db/DbConnection.h"\n',  # a layer beside
        "platform/Bad.h": "#include <QString>\n",  # Qt below the windows
        "dbwindow/Hash_algorithms.cpp": '#include "ui_Dbform.h"\n',  # a listed file
        "dbwindow/Good.cpp": '#include "db/key/KeyChanges.h"\n#include <QString>\n',
        "tests/Good.cpp": '#include "app/Main.h"\n',
    }
    with tempfile.TemporaryDirectory() as root:
        for path, text in cases.items():
            os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
            with open(os.path.join(root, path), "w") as f:
                f.write(text)
        found = {fault.split(":")[0] for fault in check(root)}
    expected = {p for p in cases if "Bad" in p or "Hash" in p}
    if found != expected:
        print(f"self-test: expected faults in {sorted(expected)}, found {sorted(found)}")
        return 1
    print(f"self-test: {len(expected)} faults caught, {len(cases) - len(expected)} files clean")
    return 0


def main(argv):
    if argv[1:] == ["--self-test"]:
        return self_test()
    root = argv[1] if len(argv) > 1 else "."
    faults = check(root)
    for fault in faults:
        print(fault)
    if not faults:
        print(f"layers: {sum(1 for _ in sources(root))} files include only what their layer may use")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
