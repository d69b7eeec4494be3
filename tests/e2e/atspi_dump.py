"""Prints what a screen reader reads from the program's windows: one line per
accessible object, "role<TAB>name<TAB>text", for the application named on the
command line."""
import sys

import pyatspi


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except (NotImplementedError, AttributeError, Exception):
        return ""


def walk(node, depth=0):
    if node is None or depth > 25:
        return
    try:
        role = node.getRoleName()
        name = node.name or ""
    except Exception:
        return
    print("%s\t%s\t%s" % (role, name.replace("\n", "\\n"), text_of(node).replace("\n", "\\n")))
    try:
        count = node.childCount
    except Exception:
        return
    for i in range(min(count, 500)):
        try:
            walk(node.getChildAtIndex(i), depth + 1)
        except Exception:
            pass


def main():
    wanted = sys.argv[1]
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == wanted:
            walk(app)
            return 0
    print("no application named " + wanted, file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
