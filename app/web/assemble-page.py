#!/usr/bin/env python3
"""Assembles the one self-contained page: the template with its styles and its script inline,
the script being the module (WebAssembly embedded) followed by the page's own wiring, a
Content-Security-Policy that lets the page load nothing from anywhere, and the version.

usage: assemble-page.py TEMPLATE STYLE MODULE PAGE_SCRIPT VERSION_FILE OUTPUT

VERSION_FILE holds the version as people see it, written there by the build.
"""
import base64
import hashlib
import re
import sys

LIMIT = 300 * 1024


def digest(text):
    return "'sha256-" + base64.b64encode(hashlib.sha256(text.encode("utf-8")).digest()).decode() + "'"


def main(template_path, style_path, module_path, page_path, version_path, output_path):
    def read(path):
        with open(path, encoding="utf-8") as file:
            return file.read()

    style = read(style_path)
    version = read(version_path).strip()
    script = read(module_path) + "\n" + read(page_path)
    # Nothing in the script may end its element early.
    script = re.sub(r"</(script)", r"<\\/\1", script, flags=re.IGNORECASE)
    # The module fetches its own WebAssembly from a data: URL and compiles it; nothing else is
    # allowed, the inline script and styles only by their digests.
    policy = "; ".join([
        "default-src 'none'",
        f"script-src {digest(script)} 'wasm-unsafe-eval'",
        f"style-src {digest(style)}",
        "connect-src data:",
    ])
    page = read(template_path)
    for marker, text in (("@POLICY@", policy), ("@VERSION@", version), ("@STYLE@", style), ("@SCRIPT@", script)):
        if page.count(marker) != 1:
            sys.exit(f"{template_path}: expected {marker} once")
        page = page.replace(marker, text)
    size = len(page.encode("utf-8"))
    if size > LIMIT:
        sys.exit(f"{output_path}: {size} bytes, more than the {LIMIT} a page may have")
    with open(output_path, "w", encoding="utf-8") as file:
        file.write(page)


if __name__ == "__main__":
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    main(*sys.argv[1:])
