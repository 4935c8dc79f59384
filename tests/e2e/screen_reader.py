#!/usr/bin/env python3
# What a screen reader finds of a program on the accessibility bus (Debian's Python, which has
# pyatspi).
#   screen_reader.py APPLICATION TITLE   the window's document (a page's) or the window itself,
#                                        then what it holds, as JSON: for each object its role,
#                                        name, description, text, box on the screen, whether it
#                                        has the focus, and its id
import json, sys

import pyatspi

APPLICATION, TITLE = sys.argv[1:3]


def entry(node):
    text = node.queryText().getText(0, -1) if "Text" in pyatspi.listInterfaces(node) else ""
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    ids = [attribute[3:] for attribute in node.getAttributes() if attribute.startswith("id:")]
    return [node.getRoleName(), node.name, node.description, text, [box.x, box.y, box.width, box.height],
            node.getState().contains(pyatspi.STATE_FOCUSED), ids[0] if ids else ""]


# The node and everything it holds, breadth first.
def walk(node):
    pending = [node]
    while pending:
        if (node := pending.pop(0)) is not None:
            yield node
            pending += [node.getChildAtIndex(i) for i in range(node.childCount)]


def titled(role, application):
    return next((node for node in walk(application) if node.getRoleName() == role and node.name == TITLE), None)


# The window's document, for a browser's window, or else the window itself.
desktop = pyatspi.Registry.getDesktop(0)
for application in (desktop.getChildAtIndex(i) for i in range(desktop.childCount)):
    if application is not None and application.name == APPLICATION:
        if top := titled("document web", application) or titled("frame", application):
            print(json.dumps([entry(node) for node in walk(top)]))
