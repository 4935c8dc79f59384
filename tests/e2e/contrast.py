# Contrast as the page is rendered, read off the window's pixels: each caption and the label
# against their face, the edges of the buttons and of the picture against the window, and the
# focus ring against the window on both its sides. WCAG's ratios of relative luminance.
LIMITS = {"text": 4.5, "edge": 3.0, "focus": 3.0}


def luminance(rgb):
    linear = [(c / 255) / 12.92 if c <= 10 else ((c / 255 + 0.055) / 1.055) ** 2.4 for c in rgb[:3]]
    return 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2]


def ratio(a, b):
    high, low = sorted((luminance(a), luminance(b)), reverse=True)
    return (high + 0.05) / (low + 0.05)


# The figures, by what they are of ("text Command1", "edge Picture1", "focus Command2", ...), from
# the window's pixels (rows of red, green and blue bytes, `width` pixels a row, at `density` device
# pixels per pixel), each control's box (left, top, right, bottom in pixels) and the focused one.
def measure(shot, width, density, boxes, focused):
    pixel = lambda x, y: shot[3 * (int(y * density) * width + int(x * density)):][:3]
    # The colour along a run of pixels that stands out most from the given one.
    boldest = lambda against, points: max((pixel(x, y) for x, y in points), key=lambda rgb: ratio(rgb, against))
    background, figures = pixel(4, 4), {}
    for name, (left, top, right, bottom) in boxes.items():
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
