// The field's state (directions, flows, cell size, taps mode) and the range of cells a view visits.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "DrawingSurface.h"
#include "FatalError.h"

namespace quorrin {

// North points towards smaller y, South towards larger y, East towards larger x, West towards
// smaller x. None is a cell that no generation has reached.
enum class Direction : std::uint8_t { None, North, South, East, West };

inline constexpr int kGridLast = 50;

inline void RequireGridIndex(int index)
{
    if (index < 0 || index > kGridLast) {
        throw FatalError("grid index " + std::to_string(index) + " lies outside 0.." +
                         std::to_string(kGridLast));
    }
}

// A cell is addressed by the logical coordinates of its centre, used directly as indices.
template <typename T>
class Grid {
public:
    T& At(int x, int y) { return Cells[Offset(x, y)]; }
    const T& At(int x, int y) const { return Cells[Offset(x, y)]; }
    void Fill(const T& value) { Cells.fill(value); }
    bool operator==(const Grid&) const = default;

private:
    static constexpr std::size_t kSide = kGridLast + 1;

    static std::size_t Offset(int x, int y)
    {
        RequireGridIndex(x);
        RequireGridIndex(y);
        return static_cast<std::size_t>(x) * kSide + static_cast<std::size_t>(y);
    }

    std::array<T, kSide * kSide> Cells{};
};

// What the views share. The grids are never cleared: a coarse field leaves the cells of an
// earlier fine field in place.
struct FieldState {
    Grid<Direction> DirectionGrid;
    // 0 until the stream view first sets every flow to 1.
    Grid<int> FlowGrid;
    // Logical units per cell and the step between neighbours: 1 fine, 2 coarse.
    int CellSize = 1;
    // 1 keeps closed loops of four cells ("with taps"); 0 breaks them.
    int TapsMode = 0;

    bool operator==(const FieldState&) const = default;
};

// Visits x = 2s, 3s, ... up to W - 2s and, within each column, y = 2s, 3s, ... up to H - 2s.
// W - 2s is taken once, before the first column; H - 2s once per column, after onColumn.
// A non-finite or negative extent visits nothing.
template <typename OnColumn, typename OnCell>
void ForEachVisitedCell(DrawingSurface& surface, int cellSize, OnColumn onColumn, OnCell onCell)
{
    const double lastColumn = static_cast<double>(surface.LogicalWidth()) - 2.0 * cellSize;
    for (int x = 2 * cellSize; x <= lastColumn; x += cellSize) {
        onColumn(x);
        const double lastRow = static_cast<double>(surface.LogicalHeight()) - 2.0 * cellSize;
        for (int y = 2 * cellSize; y <= lastRow; y += cellSize) {
            onCell(x, y);
        }
        // Each cell reads the grid at (x, y), so a column past the grid has already failed if
        // it had rows; without rows this check is what stops the walk.
        RequireGridIndex(x);
    }
}

}  // namespace quorrin
