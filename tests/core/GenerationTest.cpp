// How a cell's direction is decided from its two draws and its neighbours.
#include <gtest/gtest.h>

#include "Drainage.h"

namespace quorrin {
namespace {

constexpr Direction N = Direction::North, S = Direction::South, E = Direction::East,
                    W = Direction::West, None = Direction::None;

TEST(DecideDirection, FollowsTheRuleTable)
{
    const struct {
        const char* Name;
        float R1, R2;
        Neighbours Around;  // north, west, north-west
        int TapsMode;
        Direction Expected;
    } rows[] = {
        {"plain north", 0.2f, 0.3f, {None, None, None}, 0, N},
        {"plain south", 0.1f, 0.9f, {None, None, None}, 0, S},
        {"plain east", 0.7f, 0.6f, {None, None, None}, 0, E},
        {"plain west", 0.8f, 0.2f, {None, None, None}, 0, W},
        {"0.5 and 0.5 count as 0: north", 0.5f, 0.5f, {None, None, None}, 0, N},
        {"r2 just above 0.5 is south", 0.5f, 0.50000006f, {None, None, None}, 0, S},
        {"r1 just above 0.5 is east-west", 0.50000006f, 0.5f, {None, None, None}, 0, W},
        {"west drains in: south beats any draw", 0.2f, 0.3f, {S, E, E}, 0, S},
        {"west drains in, east drawn", 0.7f, 0.6f, {None, E, None}, 1, S},
        {"north drains in: north turns east", 0.2f, 0.3f, {S, None, None}, 0, E},
        {"north drains in: south drawn stays", 0.1f, 0.9f, {S, None, None}, 0, S},
        {"north drains in: west drawn stays", 0.8f, 0.2f, {S, None, None}, 0, W},
        {"loop closed by west is broken", 0.8f, 0.2f, {S, N, E}, 0, E},
        {"loop kept with taps", 0.8f, 0.2f, {S, N, E}, 1, W},
        {"no loop without the north-west east", 0.8f, 0.2f, {S, N, N}, 0, W},
        {"no loop without the west north", 0.8f, 0.2f, {S, S, E}, 0, W},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(DecideDirection(row.R1, row.R2, row.Around, row.TapsMode), row.Expected);
    }
}

}  // namespace
}  // namespace quorrin
