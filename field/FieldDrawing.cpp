// Frame, borders and glyphs. Coordinates are worked out in double and handed over as float.
#include "FieldDrawing.h"

#include <array>

namespace quorrin {
namespace {

void Line(DrawingSurface& surface, double x1, double y1, double x2, double y2)
{
    surface.DrawLine(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                     static_cast<float>(y2));
}

double Width(DrawingSurface& surface) { return static_cast<double>(surface.LogicalWidth()); }
double Height(DrawingSurface& surface) { return static_cast<double>(surface.LogicalHeight()); }

// In units of the arrowhead's size: half the base back, out to the apex, across to the other
// end of the base, and back to the start.
std::array<Step, 4> ArrowheadOffsets(Direction d)
{
    switch (d) {
    case Direction::North: return {{{-1, 0}, {1, -1}, {1, 1}, {-1, 0}}};
    case Direction::South: return {{{-1, 0}, {1, 1}, {1, -1}, {-1, 0}}};
    case Direction::East: return {{{0, -1}, {1, 1}, {-1, 1}, {0, -1}}};
    case Direction::West: return {{{0, 1}, {-1, -1}, {1, -1}, {0, 1}}};
    case Direction::None: break;
    }
    return {};
}

}  // namespace

Step StepOf(Direction d)
{
    switch (d) {
    case Direction::North: return {0, -1};
    case Direction::South: return {0, 1};
    case Direction::East: return {1, 0};
    case Direction::West: return {-1, 0};
    case Direction::None: break;
    }
    return {0, 0};
}

void ClearFieldPicture(DrawingSurface& surface)
{
    surface.SetPenWidth(1);
    surface.ClearPicture();
    surface.ClearWindowArea();
}

void DrawFieldFrame(DrawingSurface& surface, int cellSize)
{
    const double inset = 1.5 * cellSize;
    const double right = Width(surface) - inset;
    const double bottom = Height(surface) - inset;
    Line(surface, right, inset, right, bottom);
    Line(surface, inset, bottom, right, bottom);
}

void DrawColumnBorder(DrawingSurface& surface, int x, int cellSize)
{
    const double inset = 1.5 * cellSize;
    const double left = x - 0.5 * cellSize;
    Line(surface, left, inset, left, Height(surface) - inset);
}

void DrawRowBorder(DrawingSurface& surface, int y, int cellSize)
{
    const double inset = 1.5 * cellSize;
    const double top = y - 0.5 * cellSize;
    Line(surface, inset, top, Width(surface) - inset, top);
}

void DrawDirectionGlyph(DrawingSurface& surface, int x, int y, Direction d, int cellSize,
                        double glyphSize)
{
    if (d == Direction::None) {
        return;
    }
    const Step step = StepOf(d);
    const double half = 0.5 * cellSize;
    Line(surface, x, y, x + half * step.Dx, y + half * step.Dy);
    DrawArrowhead(surface, d, glyphSize);
}

void DrawArrowhead(DrawingSurface& surface, Direction d, double size)
{
    if (d == Direction::None) {
        return;
    }
    for (const Step offset : ArrowheadOffsets(d)) {
        surface.DrawLineBy(static_cast<float>(size * offset.Dx),
                           static_cast<float>(size * offset.Dy));
    }
}

}  // namespace quorrin
