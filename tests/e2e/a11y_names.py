#!/usr/bin/python3
"""Prints "role:name" of every widget in the real program's window titled argv[1], read
through the accessibility bus (AT-SPI): the texts a user sees on Qt's own dialogs. Lists,
tables and trees are not entered (a folder's files are no texts of the program).
Exits 1 when no such window is there."""
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

SKIP = {"list", "table", "tree", "tree table"}


def walk(node):
    yield f"{node.get_role_name()}:{node.get_name() or ''}"
    if node.get_role_name() in SKIP:
        return
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield from walk(child)


desktop = Atspi.get_desktop(0)
windows = [desktop.get_child_at_index(a).get_child_at_index(w)
           for a in range(desktop.get_child_count())
           for w in range(desktop.get_child_at_index(a).get_child_count())]
found = [w for w in windows if w is not None and w.get_name() == sys.argv[1]]
for window in found:
    print("\n".join(walk(window)))
sys.exit(0 if found else 1)
