"""Finds the program's controls by role and accessible name, for the end-to-end
scripts. Run with the system's python3 (the one that has pyatspi).

  atspi.py extents ROLE NAME [N]   prints "x y width height" of the Nth (from 0)
                                   visible match, on the screen
  atspi.py click ROLE NAME [N]     clicks its middle with the mouse (xdotool)
  atspi.py text ROLE NAME          prints its text (labels: the shown text)

Only controls that are on screen count: Qt reports the controls of hidden tabs
as showing, so a match needs a size and a place inside the screen too. Waits
up to 5 s for a match; exits 1 without one.
"""
import subprocess
import sys
import time

import pyatspi


def visible(node):
    try:
        e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    except Exception:
        return None
    if e.width <= 0 or e.height <= 0 or e.x < 0 or e.y < 0:
        return None
    return e


def matches(role, name):
    found = []

    def walk(node):
        for child in node:
            if child is None:
                continue
            if child.getRoleName() == role and child.name == name:
                e = visible(child)
                if e is not None:
                    found.append((child, e))
            walk(child)

    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == 'Lirena':
            walk(app)
    return found


def find(role, name, index):
    deadline = time.monotonic() + 5
    while True:
        found = matches(role, name)
        if len(found) > index:
            return found[index]
        if time.monotonic() > deadline:
            sys.exit(f"atspi: no visible {role} '{name}' (#{index})")
        time.sleep(0.2)


def main():
    command, role, name = sys.argv[1:4]
    index = int(sys.argv[4]) if len(sys.argv) > 4 else 0
    node, e = find(role, name, index)
    if command == 'extents':
        print(e.x, e.y, e.width, e.height)
    elif command == 'click':
        subprocess.run(['xdotool', 'mousemove', '--sync', str(e.x + e.width // 2), str(e.y + e.height // 2),
                        'click', '1'], check=True)
    elif command == 'text':
        t = node.queryText()
        print(t.getText(0, t.characterCount))
    else:
        sys.exit(f'atspi: unknown command {command}')


main()
