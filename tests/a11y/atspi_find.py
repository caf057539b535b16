#!/usr/bin/python3
# Looks for accessible objects by name on the desktop's accessibility bus (AT-SPI), as a screen
# reader sees them. Usage: atspi_find.py [--press NAME] NAME...
# --press NAME first presses the button of that name (its default action), then the NAMEs are
# looked for; "NAME :: DESCRIPTION" wants an object of that name with that description. Exits 0
# when every NAME shows within 90 s, 1 otherwise (listing what it saw).
import sys
import time

import pyatspi


def names_under(node, out):
    try:
        out.append(node.name)
        if node.description:
            out.append(node.name + " :: " + node.description)
        count = node.childCount
    except Exception:  # an object that went away while it was read
        return out
    for i in range(count):
        # One child that cannot be read (a view's row that went meanwhile) leaves its siblings.
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        if child is not None:
            names_under(child, out)
    return out


def find_node(node, name):
    try:
        if node.name == name:
            return node
        for i in range(node.childCount):
            child = node.getChildAtIndex(i)
            found = find_node(child, name) if child is not None else None
            if found is not None:
                return found
    except Exception:
        pass
    return None


def applications():
    desktop = pyatspi.Registry.getDesktop(0)
    return [desktop.getChildAtIndex(i) for i in range(desktop.childCount) if desktop.getChildAtIndex(i)]


def main(argv):
    press = None
    if len(argv) > 1 and argv[0] == "--press":
        press, argv = argv[1], argv[2:]
    deadline = time.time() + 90
    pressed = press is None
    seen = []
    while time.time() < deadline:
        if not pressed:
            for app in applications():
                node = find_node(app, press)
                if node is not None:
                    node.queryAction().doAction(0)
                    pressed = True
                    break
        else:
            seen = [n for app in applications() for n in names_under(app, [])]
            if all(any(s == want or s.startswith(want + ",") for s in seen) for want in argv):
                print("found:", ", ".join(argv))
                return 0
        time.sleep(0.5)
    print("not pressed:" if not pressed else "missing:", press if not pressed else
          [w for w in argv if not any(s == w or s.startswith(w + ",") for s in seen)])
    print("seen like them:", sorted({s for s in seen for w in argv if w.split(" :: ")[0] in s}))
    print("seen:", sorted(set(seen))[:80])
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
