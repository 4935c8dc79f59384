// Generation and redraw share the field order; they differ only in where a direction comes from.
#include "Drainage.h"

#include "FieldDrawing.h"

namespace quorrin {

Direction DecideDirection(float r1, float r2, Neighbours neighbours, int tapsMode)
{
    // Rounding to the nearest integer with ties to even sends 0.5 to 0.
    const bool eastWest = r1 > 0.5f;
    const bool towardsLarger = r2 > 0.5f;
    const Direction drawn = eastWest ? (towardsLarger ? Direction::East : Direction::West)
                                     : (towardsLarger ? Direction::South : Direction::North);

    if (neighbours.West == Direction::East) {
        return Direction::South;
    }
    if (drawn == Direction::North && neighbours.North == Direction::South) {
        return Direction::East;
    }
    // West here would close the loop west, north, east, south around the block whose lower
    // right corner this cell is.
    const bool closesLoop = drawn == Direction::West && neighbours.North == Direction::South &&
                            neighbours.NorthWest == Direction::East &&
                            neighbours.West == Direction::North;
    if (tapsMode == 0 && closesLoop) {
        return Direction::East;
    }
    return drawn;
}

void GenerateDrainage(FieldState& field, DrawingSurface& surface, RandomSource& random)
{
    const int s = field.CellSize;
    Grid<Direction>& grid = field.DirectionGrid;
    DrawFieldInOrder(
        surface, s,
        [&](int x, int y) {
            const float r1 = random.Next();
            const float r2 = random.Next();
            const Neighbours neighbours{grid.At(x, y - s), grid.At(x - s, y),
                                        grid.At(x - s, y - s)};
            return DecideDirection(r1, r2, neighbours, field.TapsMode);
        },
        [&](int x, int y, Direction d) { grid.At(x, y) = d; });
}

void DrawDrainage(const FieldState& field, DrawingSurface& surface)
{
    DrawFieldInOrder(
        surface, field.CellSize, [&](int x, int y) { return field.DirectionGrid.At(x, y); },
        [](int, int, Direction) {});
}

}  // namespace quorrin
