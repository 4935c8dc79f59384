# Contrast as the engine renders it, read off a screenshot of the page: each caption and the label
# against their face, the edges of the buttons and of the picture against the window, and the
# focus ring against the window on both its sides. WCAG's ratios of relative luminance.
import io

from PIL import Image

# The boxes (in CSS pixels of the viewport) the figures are read in, the device pixels per CSS
# pixel of the screenshot, and which control has the focus.
BOXES = """
const box = (element) => { const r = element.getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]; };
return [devicePixelRatio, document.querySelector(':focus')?.id, box(document.getElementById('MainWindow')),
        Object.fromEntries([...document.querySelectorAll('#MainWindow > *')].map((c) => [c.id, box(c)]))];
"""
LIMITS = {"text": 4.5, "edge": 3.0, "focus": 3.0}


def luminance(rgb):
    linear = [(c / 255) / 12.92 if c <= 10 else ((c / 255 + 0.055) / 1.055) ** 2.4 for c in rgb[:3]]
    return 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2]


def ratio(a, b):
    high, low = sorted((luminance(a), luminance(b)), reverse=True)
    return (high + 0.05) / (low + 0.05)


# The figures, by what they are of ("text Command1", "edge Picture1", "focus Command2", ...).
def measure(png, boxes):
    density, focused, window, controls = boxes
    image = Image.open(io.BytesIO(png)).convert("RGB")
    pixel = lambda x, y: image.getpixel((int(x * density), int(y * density)))
    # The colour along a run of pixels that stands out most from the given one.
    boldest = lambda against, points: max((pixel(x, y) for x, y in points), key=lambda rgb: ratio(rgb, against))
    background = pixel(window[0] + 4, window[1] + 4)
    figures = {}
    for name, (left, top, right, bottom) in controls.items():
        middle = (top + bottom) / 2
        if name.startswith("Command"):
            face = pixel(left + 4, top + 4)
            edge = boldest(background, [(left + d / 4, middle) for d in range(-4, 8)])
            figures[f"edge {name}"] = min(ratio(edge, background), ratio(edge, face))
        elif name == "Picture1":
            face = pixel(left + 8, top + 8)
            edge = boldest(background, [(left + d / 4, middle) for d in range(-4, 12)])
            figures[f"edge {name}"] = ratio(edge, background)
        else:
            face = background
        if name != "Picture1":
            ink = boldest(face, [(x / 2, y / 2) for x in range(int(left * 2) + 8, int(right * 2) - 8)
                                 for y in range(int(top * 2) + 6, int(bottom * 2) - 6)])
            figures[f"text {name}"] = ratio(ink, face)
        if name == focused:
            # Left of the control, across the ring, which has the window's colour on both its sides.
            ring = boldest(background, [(left - d / 4, middle) for d in range(1, 24)])
            figures[f"focus {name}"] = min(ratio(ring, pixel(left - 1, middle)), ratio(ring, pixel(left - 7, middle)))
    return figures


def failing(figures):
    return {what: round(value, 2) for what, value in figures.items() if value < LIMITS[what.split()[0]]}
