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


# The window's document, for a browser's window, or else the window.
def window(application):
    pending = [application.getChildAtIndex(i) for i in range(application.childCount)]
    frame = next((node for node in pending if node and node.getRoleName() == "frame" and node.name == TITLE), None)
    while pending:
        node = pending.pop(0)
        if node is not None and node.getRoleName() == "document web" and node.name == TITLE:
            return node
        pending += [node.getChildAtIndex(i) for i in range(node.childCount)] if node is not None else []
    return frame


def read():
    desktop = pyatspi.Registry.getDesktop(0)
    for application in (desktop.getChildAtIndex(i) for i in range(desktop.childCount)):
        if application is not None and application.name == APPLICATION and (top := window(application)):
            found = [entry(top)]
            pending = [top.getChildAtIndex(i) for i in range(top.childCount)]
            while pending:
                node = pending.pop(0)
                found.append(entry(node))
                pending += [node.getChildAtIndex(i) for i in range(node.childCount)]
            print(json.dumps(found))


read()
