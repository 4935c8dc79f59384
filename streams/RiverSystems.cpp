// Each cell's stream followed to where it ends, once: a walk stops at the first cell whose end is
// known, and every cell it passed shares that end.
#include "RiverSystems.h"

#include <algorithm>
#include <vector>

namespace quorrin {
namespace {

// What a cell's stream comes to, besides the cell it leaves the field through.
enum End : int { kUnknown = -1, kOnTheWay = -2, kLoop = -3, kNoDirection = -4 };

// The visited cells along one side; a view fails at a cell past the grid, so none is counted.
int Count(float extent, int cellSize)
{
    const double last = std::min(static_cast<double>(extent) - 2.0 * cellSize, static_cast<double>(kGridLast));
    int count = 0;
    for (int at = 2 * cellSize; at <= last; at += cellSize) {
        ++count;
    }
    return count;
}

}  // namespace

RiverSystems CountRiverSystems(const FieldState& field, float width, float height)
{
    const int s = field.CellSize;
    RiverSystems systems;
    systems.Columns = Count(width, s);
    systems.Rows = Count(height, s);
    const int columns = systems.Columns;
    const int rows = systems.Rows;
    const auto direction = [&](int cell) { return field.DirectionGrid.At((cell / rows + 2) * s, (cell % rows + 2) * s); };

    std::vector<int> end(static_cast<std::size_t>(columns * rows), kUnknown);
    std::vector<int> drained(end.size(), 0);
    std::vector<int> path;
    for (int start = 0; start < columns * rows; ++start) {
        int cell = start;
        int outcome = kUnknown;
        while (outcome == kUnknown) {
            const int known = end[static_cast<std::size_t>(cell)];
            if (known != kUnknown) {
                outcome = known == kOnTheWay ? kLoop : known;
                break;
            }
            end[static_cast<std::size_t>(cell)] = kOnTheWay;
            path.push_back(cell);
            const int column = cell / rows;
            const int row = cell % rows;
            // A step out of the visited range ends the stream at this cell, across that edge.
            const auto step = [&](bool out, Edge edge, int next) {
                if (out) {
                    ++systems.Leaving[edge];
                    outcome = cell;
                } else {
                    cell = next;
                }
            };
            switch (direction(cell)) {
            case Direction::North: step(row == 0, kNorth, cell - 1); break;
            case Direction::South: step(row == rows - 1, kSouth, cell + 1); break;
            case Direction::West: step(column == 0, kWest, cell - rows); break;
            case Direction::East: step(column == columns - 1, kEast, cell + rows); break;
            case Direction::None: outcome = kNoDirection; break;
            }
        }
        for (const int passed : path) {
            end[static_cast<std::size_t>(passed)] = outcome;
        }
        if (outcome >= 0) {
            drained[static_cast<std::size_t>(outcome)] += static_cast<int>(path.size());
            systems.Draining += static_cast<int>(path.size());
        } else {
            (outcome == kLoop ? systems.InLoops : systems.Ending) += static_cast<int>(path.size());
        }
        path.clear();
    }
    systems.Largest = drained.empty() ? 0 : *std::max_element(drained.begin(), drained.end());
    return systems;
}

}  // namespace quorrin
