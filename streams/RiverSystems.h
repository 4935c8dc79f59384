// The river systems that a field's directions form: each cell's way down, each system's shape,
// and the counts the picture's description gives.
#pragma once

#include <array>
#include <utility>
#include <vector>

#include "Field.h"

namespace quorrin {

enum Edge { kNorth, kWest, kEast, kSouth };

// The edge a step in direction d leaves across, when it leaves.
Edge EdgeOf(Direction d);

struct RiverSystems {
    // The visited cells: columns by rows.
    int Columns = 0;
    int Rows = 0;
    // The river systems that leave the field across each edge, one for each cell whose step
    // leads out of the visited range.
    std::array<int, 4> Leaving{};
    // The cells whose streams leave the field, and those of them the largest river system drains.
    int Draining = 0;
    int Largest = 0;
    // The closed loops, and the cells whose streams run into one and never leave.
    int Loops = 0;
    int InLoops = 0;
    // The cells whose streams end at a cell without a direction.
    int Ending = 0;
};

// A cell's Next besides another cell: its step leads out of the visited range, or it has no
// direction.
inline constexpr int kLeaves = -1;
inline constexpr int kStops = -2;

// Cells are numbered column by column from the north-west visited cell: column * rows + row.
struct CellRiver {
    Direction Flow = Direction::None;
    // The cell its water goes to next, or kLeaves, or kStops.
    int Next = kStops;
    // The cells whose water passes through here, itself included. Water that reaches a closed
    // loop passes every cell of it, so a loop's cells each drain their whole system.
    int Drained = 0;
    // The cells of the longest stream from a source down to here, both included: 1 at a source.
    // A loop's cells count only the streams that run into the loop there.
    int Longest = 0;
    // Where its water ends: its system's outlet, the cell without a direction it stops at, or the
    // cell where it enters its closed loop (a loop's cell is its own end); and the steps there.
    int End = 0;
    int Distance = 0;
    // Its river system's number: 0 is the largest.
    int System = 0;
};

// How a river system ends. Among systems of one size, they come in this order.
enum class RiverEnd { Leaves, Stops, Loop };

struct RiverSystem {
    RiverEnd Ends = RiverEnd::Leaves;
    int Size = 0;
    // The outlet, the cell without a direction, or the loop's first cell by column, then row.
    int End = 0;
    // 0 unless it ends in a closed loop, whose cells follow End round by Next.
    int LoopLength = 0;
    // The most cells a drop passes, each once, from a source to the end: for a loop, once round.
    // A loop that nothing runs into has its own cells as sources.
    int LongestStream = 0;
    // Sources have order 1; where two or more streams of the highest order among those that meet
    // join, the order rises by one. A loop joins every stream that runs into it, wherever it
    // does, as a single confluence; a loop that nothing runs into has order 1.
    int StrahlerOrder = 0;
};

// One pass over the visited cells of a field, made when the field is: every cell follows its
// directions until it leaves the visited range across an edge, comes round a closed loop, or
// reaches a cell without a direction; cells whose water ends alike form one river system. The
// systems are numbered largest first; among equals by how they end, then by their End cell.
// Analysing again keeps the memory of the last field.
class RiverAnalysis {
public:
    // The visited range is that of the views on a picture of extent width x height.
    void Analyse(const FieldState& field, float width, float height);

    const RiverSystems& Counts() const { return Counted; }
    const std::vector<CellRiver>& Cells() const { return CellRivers; }
    const std::vector<RiverSystem>& Systems() const { return Ordered; }
    int Cell(int column, int row) const { return column * Counted.Rows + row; }
    int Column(int cell) const { return cell / Counted.Rows; }
    int Row(int cell) const { return cell % Counted.Rows; }
    // The cell's centre in logical coordinates, as the views draw it.
    std::pair<int, int> Centre(int cell) const { return {(Column(cell) + 2) * CellSize, (Row(cell) + 2) * CellSize}; }
    // The cells whose water comes to this one next, north, west, east and south of it; -1 where none does.
    std::array<int, 4> Tributaries(int cell) const;

private:
    int CellSize = 1;
    RiverSystems Counted;
    std::vector<CellRiver> CellRivers;
    std::vector<RiverSystem> Ordered;
    // For the pass: the cells each still waits for, the cells in the order they were done
    // (sources first), the highest Strahler order among the streams that met at each and how
    // many have it, each cell's own order, and the systems as found, then renumbered.
    std::vector<int> Waiting;
    std::vector<int> Done;
    std::vector<int> TopOrder;
    std::vector<int> TopCount;
    std::vector<int> Order;
    std::vector<RiverSystem> Found;
    std::vector<int> Renumbered;
};

}  // namespace quorrin
