// The drainage picture: a framed grid of cells with an arrow glyph in each.
#pragma once

#include "DrawingSurface.h"
#include "Field.h"

namespace quorrin {

// Pen width 1, then a clear picture and a clear window area.
void ClearFieldPicture(DrawingSurface& surface);
// The frame's right edge, then its bottom edge.
void DrawFieldFrame(DrawingSurface& surface, int cellSize);
// The left side of column x over the field's full height.
void DrawColumnBorder(DrawingSurface& surface, int x, int cellSize);
// The top side of row y over the field's full width.
void DrawRowBorder(DrawingSurface& surface, int y, int cellSize);
// A stem from the cell's centre to its side in direction d, then an arrowhead of size
// glyphSize; nothing for Direction::None.
void DrawDirectionGlyph(DrawingSurface& surface, int x, int y, Direction d, int cellSize,
                        double glyphSize);
// A closed triangle from the pen position: its base, 2 * size long, across d and centred on
// the pen, its apex size beyond the pen in direction d. The pen ends where it started.
void DrawArrowhead(DrawingSurface& surface, Direction d, double size);

// The unit step of a direction, in logical coordinates.
struct Step {
    int Dx;
    int Dy;
};
Step StepOf(Direction d);

// Both drainage views draw in this order: clear, frame, then column by column the column's
// border and, for each of its cells, the row border, the cell's direction and its glyph.
// directionOf(x, y) gives the direction to draw; afterGlyph(x, y, d) runs after the glyph.
template <typename DirectionOf, typename AfterGlyph>
void DrawFieldInOrder(DrawingSurface& surface, int cellSize, DirectionOf directionOf,
                      AfterGlyph afterGlyph)
{
    ClearFieldPicture(surface);
    const double glyphSize = 0.2 * cellSize;
    DrawFieldFrame(surface, cellSize);
    ForEachVisitedCell(
        surface, cellSize, [&](int x) { DrawColumnBorder(surface, x, cellSize); },
        [&](int x, int y) {
            DrawRowBorder(surface, y, cellSize);
            const Direction d = directionOf(x, y);
            DrawDirectionGlyph(surface, x, y, d, cellSize, glyphSize);
            afterGlyph(x, y, d);
        });
}

}  // namespace quorrin
