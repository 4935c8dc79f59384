// Each cell's stream followed to where it ends, in one pass: the cells are taken sources first, so
// that every cell is done after all that drain into it (Kahn's order); what is left are the
// closed loops. Going back over that order gives each cell its end.
#include "RiverSystems.h"

#include <algorithm>
#include <tuple>

namespace quorrin {
namespace {

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

// The order where streams of these orders meet: the highest, and one more where two or more have it.
int Joined(int top, int count) { return count == 0 ? 1 : count >= 2 ? top + 1 : top; }

}  // namespace

Edge EdgeOf(Direction d)
{
    switch (d) {
    case Direction::North: return kNorth;
    case Direction::West: return kWest;
    case Direction::East: return kEast;
    default: return kSouth;
    }
}

std::array<int, 4> RiverAnalysis::Tributaries(int cell) const
{
    const int rows = Counted.Rows;
    const int column = Column(cell);
    const int row = Row(cell);
    const auto from = [&](bool inside, int neighbour) {
        return inside && CellRivers[static_cast<std::size_t>(neighbour)].Next == cell ? neighbour : -1;
    };
    return {from(row > 0, cell - 1), from(column > 0, cell - rows), from(column < Counted.Columns - 1, cell + rows),
            from(row < rows - 1, cell + 1)};
}

void RiverAnalysis::Analyse(const FieldState& field, float width, float height)
{
    const int s = field.CellSize;
    CellSize = s;
    Counted = RiverSystems{};
    Counted.Columns = Count(width, s);
    Counted.Rows = Count(height, s);
    const int columns = Counted.Columns;
    const int rows = Counted.Rows;
    const auto n = static_cast<std::size_t>(columns * rows);
    CellRivers.assign(n, CellRiver{});
    Waiting.assign(n, 0);
    TopOrder.assign(n, 0);
    TopCount.assign(n, 0);
    Order.assign(n, 0);
    Done.clear();
    Found.clear();

    for (int cell = 0; cell < static_cast<int>(n); ++cell) {
        CellRiver& river = CellRivers[static_cast<std::size_t>(cell)];
        const int column = cell / rows;
        const int row = cell % rows;
        river.Flow = field.DirectionGrid.At((column + 2) * s, (row + 2) * s);
        river.Drained = 1;
        river.System = -1;
        switch (river.Flow) {
        case Direction::North: river.Next = row == 0 ? kLeaves : cell - 1; break;
        case Direction::South: river.Next = row == rows - 1 ? kLeaves : cell + 1; break;
        case Direction::West: river.Next = column == 0 ? kLeaves : cell - rows; break;
        case Direction::East: river.Next = column == columns - 1 ? kLeaves : cell + rows; break;
        case Direction::None: river.Next = kStops; break;
        }
        if (river.Next >= 0) {
            ++Waiting[static_cast<std::size_t>(river.Next)];
        }
    }

    // Down from the sources. Longest holds the longest stream that arrived until the cell is done.
    for (int cell = 0; cell < static_cast<int>(n); ++cell) {
        if (Waiting[static_cast<std::size_t>(cell)] == 0) {
            Done.push_back(cell);
        }
    }
    for (std::size_t i = 0; i < Done.size(); ++i) {
        const auto cell = static_cast<std::size_t>(Done[i]);
        CellRiver& river = CellRivers[cell];
        ++river.Longest;
        Order[cell] = Joined(TopOrder[cell], TopCount[cell]);
        if (river.Next < 0) {
            continue;
        }
        const auto next = static_cast<std::size_t>(river.Next);
        CellRiver& below = CellRivers[next];
        below.Drained += river.Drained;
        below.Longest = std::max(below.Longest, river.Longest);
        if (Order[cell] > TopOrder[next]) {
            TopOrder[next] = Order[cell];
            TopCount[next] = 0;
        }
        TopCount[next] += Order[cell] == TopOrder[next] ? 1 : 0;
        if (--Waiting[next] == 0) {
            Done.push_back(river.Next);
        }
    }

    // The cells never done lie on closed loops; each loop is gone round once from its first cell.
    for (int first = 0; first < static_cast<int>(n); ++first) {
        if (Waiting[static_cast<std::size_t>(first)] == 0 || CellRivers[static_cast<std::size_t>(first)].System >= 0) {
            continue;
        }
        RiverSystem loop{RiverEnd::Loop, 0, first, 0, 0, 0};
        int top = 0;
        int count = 0;
        int cell = first;
        do {
            CellRiver& river = CellRivers[static_cast<std::size_t>(cell)];
            const auto at = static_cast<std::size_t>(cell);
            river.System = static_cast<int>(Found.size());
            river.End = cell;
            loop.LongestStream = std::max(loop.LongestStream, river.Longest);
            ++river.Longest;
            if (TopCount[at] > 0 && TopOrder[at] >= top) {
                count = TopOrder[at] > top ? TopCount[at] : count + TopCount[at];
                top = TopOrder[at];
            }
            ++loop.LoopLength;
            cell = river.Next;
        } while (cell != first);
        loop.LongestStream += loop.LoopLength;
        loop.StrahlerOrder = Joined(top, count);
        Found.push_back(loop);
    }

    // Up from the ends: each cell after the one below it.
    for (auto i = Done.rbegin(); i != Done.rend(); ++i) {
        CellRiver& river = CellRivers[static_cast<std::size_t>(*i)];
        if (river.Next < 0) {
            river.End = *i;
            river.System = static_cast<int>(Found.size());
            Found.push_back({river.Next == kLeaves ? RiverEnd::Leaves : RiverEnd::Stops, 0, *i, 0, river.Longest,
                             Order[static_cast<std::size_t>(*i)]});
        } else {
            const CellRiver& below = CellRivers[static_cast<std::size_t>(river.Next)];
            river.End = below.End;
            river.Distance = below.Distance + 1;
            river.System = below.System;
        }
    }

    for (const CellRiver& river : CellRivers) {
        ++Found[static_cast<std::size_t>(river.System)].Size;
    }
    Ordered = Found;
    std::sort(Ordered.begin(), Ordered.end(), [](const RiverSystem& a, const RiverSystem& b) {
        return std::tuple(-a.Size, a.Ends, a.End) < std::tuple(-b.Size, b.Ends, b.End);
    });
    Renumbered.assign(Found.size(), 0);
    for (std::size_t i = 0; i < Ordered.size(); ++i) {
        const RiverSystem& system = Ordered[i];
        Renumbered[static_cast<std::size_t>(CellRivers[static_cast<std::size_t>(system.End)].System)] = static_cast<int>(i);
        switch (system.Ends) {
        case RiverEnd::Leaves:
            ++Counted.Leaving[EdgeOf(CellRivers[static_cast<std::size_t>(system.End)].Flow)];
            Counted.Draining += system.Size;
            Counted.Largest = std::max(Counted.Largest, system.Size);
            break;
        case RiverEnd::Stops: Counted.Ending += system.Size; break;
        case RiverEnd::Loop:
            ++Counted.Loops;
            Counted.InLoops += system.Size;
            break;
        }
    }
    for (CellRiver& river : CellRivers) {
        river.System = Renumbered[static_cast<std::size_t>(river.System)];
        const RiverSystem& system = Ordered[static_cast<std::size_t>(river.System)];
        if (system.Ends == RiverEnd::Loop && river.End == static_cast<int>(&river - CellRivers.data())) {
            river.Drained = system.Size;
        }
    }
}

}  // namespace quorrin
