#!/usr/bin/env python3
# What a screen reader finds of a program on the accessibility bus (Debian's Python, which has
# pyatspi).
#   screen_reader.py APPLICATION_NAME          its window's role and name, then each of the
#                                              window's children in reading order, as
#                                              "role|name|description" lines
#   screen_reader.py APPLICATION_NAME listen   "ready", then a "name|…" or "description|…" line
#                                              for each change an image of the program announces
import sys

import pyatspi


def read(application_name):
    desktop = pyatspi.Registry.getDesktop(0)
    for application in (desktop.getChildAtIndex(i) for i in range(desktop.childCount)):
        if application is not None and application.name == application_name and application.childCount:
            window = application.getChildAtIndex(0)
            print(f"{window.getRoleName()}|{window.name}|")
            for child in (window.getChildAtIndex(i) for i in range(window.childCount)):
                print(f"{child.getRoleName()}|{child.name}|{child.description}")


def listen(application_name):
    def heard(event):
        # Qt passes no text with the event: the reader asks for it then.
        if event.source.getRoleName() == "image" and event.host_application.name == application_name:
            what = event.type.minor.removeprefix("accessible-")
            print(f"{what}|{getattr(event.source, what)}", flush=True)

    pyatspi.Registry.registerEventListener(heard, "object:property-change:accessible-name",
                                           "object:property-change:accessible-description")
    print("ready", flush=True)
    pyatspi.Registry.start()


if __name__ == "__main__":
    (listen if sys.argv[2:] == ["listen"] else read)(sys.argv[1])
