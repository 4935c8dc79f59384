// The river systems that a field's directions form, counted for the picture's description.
#pragma once

#include <array>

#include "Field.h"

namespace quorrin {

enum Edge { kNorth, kWest, kEast, kSouth };

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
    // The cells whose streams run into a closed loop and never leave.
    int InLoops = 0;
    // The cells whose streams end at a cell without a direction.
    int Ending = 0;
};

// Follows each visited cell along its directions until it leaves the visited range or comes
// back to a cell it passed; cells that leave through the same cell belong to one river system.
// The visited range is that of the views on a picture of extent width x height.
RiverSystems CountRiverSystems(const FieldState& field, float width, float height);

}  // namespace quorrin
