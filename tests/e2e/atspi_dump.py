"""Prints what a screen reader reads from the application named on the command
line: one line per accessible object, "role<TAB>name<TAB>text"."""
import sys

import pyatspi


def walk(node, depth=0):
    try:
        role, name = node.getRoleName(), node.name or ""
        try:
            text = node.queryText().getText(0, -1)
        except Exception:
            text = ""
        print("\t".join(s.replace("\n", "\\n") for s in (role, name, text)))
        for i in range(min(node.childCount, 500) if depth < 25 else 0):
            walk(node.getChildAtIndex(i), depth + 1)
    except Exception:  # an object that went away while it was read
        pass


desktop = pyatspi.Registry.getDesktop(0)
apps = [desktop.getChildAtIndex(i) for i in range(desktop.childCount)]
for app in apps:
    if app is not None and app.name == sys.argv[1]:
        walk(app)
