#!/usr/bin/python3
"""Prints "role:name" of every widget in the real program's window titled argv[1], read over
the accessibility bus; lists, tables and trees are not entered. Exits 1 without that window."""
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def walk(node):
    yield f"{node.get_role_name()}:{node.get_name() or ''}"
    if node.get_role_name() not in {"list", "table", "tree", "tree table"}:
        for child in (node.get_child_at_index(i) for i in range(node.get_child_count())):
            yield from walk(child) if child is not None else ()


desktop = Atspi.get_desktop(0)
apps = [desktop.get_child_at_index(a) for a in range(desktop.get_child_count())]
found = [w for app in apps for w in (app.get_child_at_index(i) for i in range(app.get_child_count()))
         if w is not None and w.get_name() == sys.argv[1]]
for window in found:
    print("\n".join(walk(window)))
sys.exit(0 if found else 1)
