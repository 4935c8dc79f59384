#!/usr/bin/env python3
"""Assembles the one self-contained page: the template with its styles and its script inline,
the script being the module (WebAssembly embedded) followed by the page's own wiring, a
Content-Security-Policy that lets the page load nothing from anywhere, the version, and the
window's title and controls, laid out by the window's table.

usage: assemble-page.py TEMPLATE STYLE MODULE PAGE_SCRIPT VERSION_FILE OUTPUT LAYOUT_COMMAND...

VERSION_FILE holds the version as people see it, written there by the build. LAYOUT_COMMAND
prints the window's table.
"""
import base64
import hashlib
import html
import re
import subprocess
import sys

LIMIT = 300 * 1024


def digest(text):
    return "'sha256-" + base64.b64encode(hashlib.sha256(text.encode("utf-8")).digest()).decode() + "'"


# The window's markup, in tab order, and the styles that place each control and size the window
# and the drawing area (CSS pixels are the table's pixels at 96 dpi). The window's margins take
# back the room a scale below 1 frees.
def window(layout):
    title, sizes, *lines = layout.splitlines()
    width, height, area_width, area_height, frame = sizes.split()
    styles = [f"#MainWindow {{ width: {width}px; height: {height}px; "
              f"margin: 0 calc((var(--fit) - 1) * {width}px) calc((var(--fit) - 1) * {height}px) 0; }}",
              f"#Picture1 {{ border-width: {frame}px; }}",
              f"#Picture1 canvas {{ width: {area_width}px; height: {area_height}px; }}"]
    markup = []
    for name, kind, left, top, box_width, box_height, _, text in sorted(
            (line.split(" ", 7) for line in lines), key=lambda control: int(control[6])):
        line = f" line-height: {box_height}px;" if kind == "label" else ""
        styles.append(f"#{name} {{ left: {left}px; top: {top}px; width: {box_width}px; height: {box_height}px;{line} }}")
        text = html.escape(text)
        markup.append({
            # A grid of the field's cells, which screen readers hand the keys that move the
            # explorer's cursor; the one cell it holds, for them alone, is the cursor's.
            "picture": f'<div id="{name}" tabindex="0" role="grid">'
                       f'<canvas width="{area_width}" height="{area_height}"></canvas><canvas id="Cursor" hidden></canvas>'
                       f'<div id="CursorRow" role="row"><div id="CursorCell" role="gridcell"></div></div></div>',
            "button": f'<button id="{name}" type="button">{text}</button>',
            "label": f'<div id="{name}">{text}</div>',
        }[kind])
    return html.escape(title), "\n".join(markup), "\n".join(styles)


def main(template_path, style_path, module_path, page_path, version_path, output_path, *layout_command):
    def read(path):
        with open(path, encoding="utf-8") as file:
            return file.read()

    title, controls, layout_style = window(subprocess.run(layout_command, check=True, capture_output=True,
                                                          text=True).stdout)
    style = read(style_path) + layout_style + "\n"
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
    for marker, text, times in (("@POLICY@", policy, 1), ("@VERSION@", version, 1), ("@TITLE@", title, 2),
                                ("@CONTROLS@", controls, 1), ("@STYLE@", style, 1), ("@SCRIPT@", script, 1)):
        if page.count(marker) != times:
            sys.exit(f"{template_path}: expected {marker} {times} times")
        page = page.replace(marker, text)
    size = len(page.encode("utf-8"))
    if size > LIMIT:
        sys.exit(f"{output_path}: {size} bytes, more than the {LIMIT} a page may have")
    with open(output_path, "w", encoding="utf-8") as file:
        file.write(page)


if __name__ == "__main__":
    if len(sys.argv) < 8:
        sys.exit(__doc__)
    main(*sys.argv[1:])
