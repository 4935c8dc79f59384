// How a field's directions are decided: the neighbour rules, the draws, and what a field obeys.
#include <gtest/gtest.h>

#include <random>

#include "Drainage.h"
#include "RecordingSurface.h"
#include "ScriptedRandom.h"

namespace quorrin {
namespace {

using test::RecordingSurface;
using test::ScriptedRandom;

constexpr Direction N = Direction::North, S = Direction::South, E = Direction::East,
                    W = Direction::West, None = Direction::None;

// Draws that give each direction: r1 picks the axis, r2 the sense.
constexpr float kNorth[] = {0.2f, 0.3f};
constexpr float kSouth[] = {0.1f, 0.9f};
constexpr float kEast[] = {0.7f, 0.6f};
constexpr float kWest[] = {0.8f, 0.5f};

struct DecideRow {
    const char* Name;
    float R1, R2;
    Neighbours Around;  // north, west, north-west
    int TapsMode;
    Direction Expected;
};

TEST(DecideDirection, FollowsTheRuleTable)
{
    const DecideRow rows[] = {
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
    for (const DecideRow& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(DecideDirection(row.R1, row.R2, row.Around, row.TapsMode), row.Expected);
    }
}

// Fills the draws of a generation cell by cell, in the order the cells are visited.
std::vector<float> Script(std::initializer_list<const float*> cells)
{
    std::vector<float> draws;
    for (const float* cell : cells) {
        draws.insert(draws.end(), {cell[0], cell[1]});
    }
    return draws;
}

TEST(GenerateDrainage, StoresEachCellFromItsDrawsAndNeighbours)
{
    // A 3 x 3 fine field (cells 2..4) visited column by column.
    FieldState field;
    RecordingSurface surface(6.0f, 6.0f);
    ScriptedRandom random(Script({kEast, kSouth, kWest,     // column 2
                                  kNorth, kNorth, kNorth,   // column 3
                                  kWest, kEast, kWest}));   // column 4
    GenerateDrainage(field, surface, random);

    const Direction expected[3][3] = {
        {E, S, W},  // the first column and row have no neighbours: (2, 2) keeps its draw
        {S, E, N},  // (3, 2) and (3, 3) have a neighbour draining into them
        {W, S, E},  // (4, 4) drawn west would close a loop of four cells
    };
    for (int x = 2; x <= 4; ++x) {
        for (int y = 2; y <= 4; ++y) {
            EXPECT_EQ(field.DirectionGrid.At(x, y), expected[x - 2][y - 2]) << x << "," << y;
        }
    }
    EXPECT_EQ(random.Taken, 18u);
    EXPECT_EQ(field.DirectionGrid.At(5, 5), None);
}

TEST(GenerateDrainage, CoarseFieldReadsTheFineFieldsFirstColumnAndRow)
{
    RecordingSurface surface;
    FieldState afterFine;
    ScriptedRandom eastDraws(Script({kEast}));
    GenerateDrainage(afterFine, surface, eastDraws);  // fine: column 2 and row 2 drain east
    ASSERT_EQ(afterFine.DirectionGrid.At(2, 6), E);

    FieldState fresh;
    afterFine.CellSize = fresh.CellSize = 2;
    ScriptedRandom north1(Script({kNorth})), north2(Script({kNorth}));
    GenerateDrainage(afterFine, surface, north1);
    GenerateDrainage(fresh, surface, north2);

    EXPECT_EQ(fresh.DirectionGrid.At(4, 4), N);
    EXPECT_EQ(fresh.DirectionGrid.At(4, 10), N);
    // The fine field's east-draining column 2 turns the coarse first column south.
    EXPECT_EQ(afterFine.DirectionGrid.At(4, 4), S);
    EXPECT_EQ(afterFine.DirectionGrid.At(4, 10), S);
    EXPECT_EQ(afterFine.DirectionGrid.At(6, 4), N);
    // Cells between the coarse ones keep the fine field's directions.
    EXPECT_EQ(afterFine.DirectionGrid.At(5, 5), S);
}

// Every visited cell of fields made by the real source obeys the neighbour rules.
TEST(GenerateDrainage, RandomFieldsObeyTheNeighbourRules)
{
    SeededRandomSource random;
    RecordingSurface surface;
    int tapsLoops = 0;
    for (int round = 0; round < 120; ++round) {
        FieldState field;
        field.TapsMode = round % 2;
        field.CellSize = round % 3 == 0 ? 2 : 1;
        GenerateDrainage(field, surface, random);
        const int s = field.CellSize;
        const auto at = [&](int x, int y) { return field.DirectionGrid.At(x, y); };
        const int last = s == 1 ? 49 : 46;  // the last visited cell when W = H = 51
        for (int x = 2 * s; x <= last; x += s) {
            for (int y = 2 * s; y <= last; y += s) {
                ASSERT_NE(at(x, y), None);
                if (x > 2 * s) {
                    ASSERT_FALSE(at(x - s, y) == E && at(x, y) != S) << x << "," << y;
                }
                if (y > 2 * s) {
                    ASSERT_FALSE(at(x, y) == N && at(x, y - s) == S) << x << "," << y;
                }
                if (x == 2 * s || y == 2 * s) {
                    continue;
                }
                // The block whose lower right corner is (x, y), clockwise from the top left.
                const bool loop = at(x - s, y - s) == E && at(x, y - s) == S && at(x, y) == W &&
                                  at(x - s, y) == N;
                const bool mirror = at(x - s, y - s) == S && at(x - s, y) == E && at(x, y) == N &&
                                    at(x, y - s) == W;
                ASSERT_FALSE(mirror);
                ASSERT_FALSE(loop && field.TapsMode == 0);
                tapsLoops += loop ? 1 : 0;
            }
        }
    }
    EXPECT_GT(tapsLoops, 0);
}

TEST(SeededRandomSource, IsTheStandardEngineWithTwentyFourBitsPerValue)
{
    // The standard fixes the 10000th output of a default-constructed mt19937 at 4123659995.
    SeededRandomSource source;
    float value = 0.0f;
    for (int i = 0; i < 10000; ++i) {
        value = source.Next();
        ASSERT_GE(value, 0.0f);
        ASSERT_LT(value, 1.0f);
    }
    EXPECT_EQ(value, static_cast<float>(4123659995u >> 8) / 16777216.0f);
}

}  // namespace
}  // namespace quorrin
