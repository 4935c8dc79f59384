#!/usr/bin/env python3
# What a screen reader finds of a program on the accessibility bus: its window's role and name,
# then each of the window's children in reading order, as "role|name|description" lines.
# usage: screen_reader.py APPLICATION_NAME   (Debian's Python, which has pyatspi)
import sys

import pyatspi

desktop = pyatspi.Registry.getDesktop(0)
for application in (desktop.getChildAtIndex(i) for i in range(desktop.childCount)):
    if application is not None and application.name == sys.argv[1] and application.childCount:
        window = application.getChildAtIndex(0)
        print(f"{window.getRoleName()}|{window.name}|")
        for child in (window.getChildAtIndex(i) for i in range(window.childCount)):
            print(f"{child.getRoleName()}|{child.name}|{child.description}")
