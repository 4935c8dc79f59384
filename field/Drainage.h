// The two drainage views: a new random field drawn as it is made, and a redraw of the stored one.
#pragma once

#include "DrawingSurface.h"
#include "Field.h"
#include "RandomSource.h"

namespace quorrin {

// The neighbours a cell's direction depends on, all decided before the cell itself.
struct Neighbours {
    Direction North;
    Direction West;
    Direction NorthWest;
};

// The direction a cell stores, from its two draws and its neighbours. r1 picks the axis
// (north-south up to 0.5, east-west above) and r2 the sense (towards smaller coordinates up to
// 0.5). No cell drains into a neighbour that drains into it, and with tapsMode 0 no cell
// closes a loop of four cells at its lower right corner.
Direction DecideDirection(float r1, float r2, Neighbours neighbours, int tapsMode);

// Makes a new field with the state's cell size and taps mode, drawing each cell as it is
// decided and storing it in DirectionGrid. Takes two draws per cell.
void GenerateDrainage(FieldState& field, DrawingSurface& surface, RandomSource& random);

// Draws the field stored in DirectionGrid, exactly as its generation drew it. Changes nothing.
void DrawDrainage(const FieldState& field, DrawingSurface& surface);

}  // namespace quorrin
