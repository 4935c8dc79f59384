// Segments from cell to cell, and outlet arrowheads on the field's edges.
#include "Streams.h"

#include <cmath>

#include "FieldDrawing.h"

namespace quorrin {
namespace {

// A stream's pen width grows by one pixel for every 30 units of flow.
int StreamWidth(int flow) { return static_cast<int>(std::floor(flow / 30.0)) + 1; }

// Whether a stream leaving (x, y) in direction d crosses the field's edge. The edges are
// compared exactly, so an extent whose last column or row is not W - 2s or H - 2s gets no
// East or South marks.
bool LeavesField(DrawingSurface& surface, int x, int y, Direction d, int cellSize)
{
    switch (d) {
    case Direction::North: return y == 2 * cellSize;
    case Direction::South: return y == static_cast<double>(surface.LogicalHeight()) - 2.0 * cellSize;
    case Direction::East: return x == static_cast<double>(surface.LogicalWidth()) - 2.0 * cellSize;
    case Direction::West: return x == 2 * cellSize;
    case Direction::None: break;
    }
    return false;
}

}  // namespace

void DrawStreams(FieldState& field, DrawingSurface& surface)
{
    field.FlowGrid.Fill(1);
    surface.ClearPicture();
    surface.ClearWindowArea();
    const int s = field.CellSize;
    const double markSize = 0.3 * s;
    ForEachVisitedCell(surface, s, [](int) {}, [&](int x, int y) {
        const Direction d = field.DirectionGrid.At(x, y);
        if (d == Direction::None) {
            return;
        }
        // Only eastward streams set their width; the others draw with the width in force.
        if (d == Direction::East) {
            surface.SetPenWidth(StreamWidth(field.FlowGrid.At(x, y)));
        }
        const Step step = StepOf(d);
        surface.DrawLine(static_cast<float>(x), static_cast<float>(y),
                         static_cast<float>(x + s * step.Dx), static_cast<float>(y + s * step.Dy));
        if (LeavesField(surface, x, y, d, s)) {
            DrawArrowhead(surface, d, markSize);
        }
    });
}

}  // namespace quorrin
