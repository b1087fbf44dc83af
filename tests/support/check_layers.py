#!/usr/bin/env python3
"""Fails when a source file includes a header from a layer above its own.

    check_layers.py SRC_FOLDER     checks every .h/.cpp under SRC_FOLDER
    check_layers.py --self-test    checks that the rules catch what they should

The layers, lowest first: Platform; Imaging and Http; Biz; UI; Shell; Views;
Editor; Control. A file may include its own layer and any layer below it. Above
the platform layer nothing may include a window backend, since no component may
know which backend runs. Every folder under src must have a layer here, so a new
folder is placed on purpose.
"""

import os
import re
import sys
import tempfile

LAYERS = {
    "Platform": 0,
    "Imaging": 1,
    "Http": 1,
    "Biz": 2,
    "UI": 3,
    "Shell": 4,
    "Views": 5,
    "Editor": 6,
    "Control": 7,
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
BACKEND = re.compile(r"^Platform/.*Backend\.h$")


def source_files(root):
    for folder, _, names in os.walk(root):
        for name in sorted(names):
            if name.endswith((".h", ".cpp")):
                yield os.path.join(folder, name)


def top_folder(root, path):
    relative = os.path.relpath(path, root)
    return relative.split(os.sep)[0] if os.sep in relative else None


def included_folder(root, path, header):
    """The src folder an include names: root-relative, or relative to the file."""
    beside = os.path.normpath(os.path.join(os.path.dirname(path), header))
    if os.path.exists(beside):
        return top_folder(root, beside), os.path.relpath(beside, root)
    return (header.split("/")[0] if "/" in header else None), header


def problems(root):
    found = []
    for path in source_files(root):
        own = top_folder(root, path)
        shown = os.path.relpath(path, root)
        if own not in LAYERS:
            found.append(f"{shown}: folder {own!r} has no layer")
            continue
        with open(path, encoding="utf-8", errors="replace") as source:
            for number, line in enumerate(source, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                folder, header = included_folder(root, path, match.group(1))
                if folder not in LAYERS:
                    continue  # a header outside the module's folders (generated, system)
                where = f"{shown}:{number}"
                if LAYERS[folder] > LAYERS[own]:
                    found.append(f"{where}: {own} includes {header} from the higher layer {folder}")
                elif own != "Platform" and BACKEND.match(header):
                    found.append(f"{where}: {own} includes the window backend {header}")
    return found


def self_test():
    cases = {
        "Http/Body.cpp": ('#include "Biz/Engine.h"', 1),
        "Biz/Engine.cpp": ('#include "Http/Body.h"\n#include "Platform/Win/Window.h"', 0),
        "Imaging/Picture.cpp": ('#include "../UI/Skin.h"', 1),
        "Views/List.cpp": ('#include "Control/CTrellan.h"\n#include "Shell/Folder.h"', 1),
        "Views/Tile.cpp": ('#include "Editor/EditForm.h"', 1),
        "Shell/Folder.cpp": ('#include "Views/List.h"', 1),
        "Editor/EditForm.cpp": ('#include "Views/List.h"\n#include "Control/CTrellan.h"', 1),
        "Control/MainView.cpp": ('#include "Editor/EditForm.h"\n#include "Views/List.h"\n#include "Shell/Folder.h"', 0),
        "UI/Form.cpp": ('#include "Platform/Win/HeadlessBackend.h"', 1),
        "Platform/Win/Loop.cpp": ('#include "Platform/Win/Backend.h"', 0),
        "Gadgets/Thing.cpp": ("", 1),
    }
    headers = ["Biz/Engine.h", "Http/Body.h", "Platform/Win/Window.h", "UI/Skin.h",
               "Control/CTrellan.h", "Shell/Folder.h", "Views/List.h", "Editor/EditForm.h", "Platform/Win/HeadlessBackend.h",
               "Platform/Win/Backend.h"]
    failures = 0
    for name, (text, expected) in cases.items():
        with tempfile.TemporaryDirectory() as root:
            for header in headers + [name]:
                os.makedirs(os.path.join(root, os.path.dirname(header)), exist_ok=True)
                with open(os.path.join(root, header), "w") as out:
                    out.write(text if header == name else "")
            got = len(problems(root))
            if got != expected:
                print(f"self-test: {name} with {text!r}: {got} problems, expected {expected}")
                failures += 1
    return failures


def main(argv):
    if argv[1:] == ["--self-test"]:
        return 1 if self_test() else 0
    if len(argv) != 2 or not os.path.isdir(argv[1]):
        print("usage: check_layers.py SRC_FOLDER | --self-test", file=sys.stderr)
        return 2
    found = problems(argv[1])
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
