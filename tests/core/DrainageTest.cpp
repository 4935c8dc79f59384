// The drainage views: how a cell's direction is decided from its two draws and its neighbours,
// and the fatal error, for extents that leave the grid and for drawing operations that fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "Drainage.h"
#include "RecordingSurface.h"
#include "Streams.h"

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
        {"east", 0.7f, 0.6f, {None, None, None}, 0, E},
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

using test::RecordingSurface;

using View = std::function<void(FieldState&, DrawingSurface&)>;
const std::pair<const char*, View> kViews[] = {
    {"generation", [](FieldState& field, DrawingSurface& surface) { SeededRandomSource random; GenerateDrainage(field, surface, random); }},
    {"redraw", [](FieldState& field, DrawingSurface& surface) { DrawDrainage(field, surface); }},
    {"streams", [](FieldState& field, DrawingSurface& surface) { DrawStreams(field, surface); }},
};

// Every cell of the grid drains south, so every visited cell has a glyph and a stream.
FieldState SouthField(int cellSize)
{
    FieldState field;
    field.CellSize = cellSize;
    field.DirectionGrid.Fill(Direction::South);
    return field;
}

// Whether the view raised the fatal error.
bool Raises(const View& view, FieldState& field, DrawingSurface& surface)
{
    try {
        view(field, surface);
    } catch (const FatalError&) {
        return true;
    }
    return false;
}

// An extent either keeps its cells within the grid or raises the fatal error, whichever side
// it is on (the asan preset checks that nothing reaches past the grid).
TEST(FatalError, RaisedExactlyWhenTheVisitedCellsLeaveTheGrid)
{
    const struct {
        float Extent;
        bool Raised[2];  // at cell size 1 and 2
    } rows[] = {
        {-7, {false, false}}, {std::nanf(""), {false, false}}, {52, {false, false}}, {53, {true, false}},
        {55.9f, {true, false}}, {56, {true, true}}, {std::numeric_limits<float>::infinity(), {true, true}},
    };
    for (const auto& row : rows) {
        for (const int s : {1, 2}) {
            for (const auto& [name, view] : kViews) {
                for (const bool wide : {true, false}) {
                    SCOPED_TRACE(testing::Message() << row.Extent << (wide ? " wide" : " high") << ", s " << s << ", " << name);
                    FieldState field = SouthField(s);
                    RecordingSurface surface(wide ? row.Extent : 51.0f, wide ? 51.0f : row.Extent);
                    EXPECT_EQ(Raises(view, field, surface), row.Raised[s - 1]);
                }
            }
        }
    }
}

// Whichever call fails, the view raises one error and stops right there, after making every
// earlier call just as a run without failure makes it.
TEST(FatalError, FailureAtEveryCallStopsTheViewThere)
{
    for (const auto& [name, view] : {kViews[0], kViews[2]}) {  // the redraw makes the generation's calls
        SCOPED_TRACE(name);
        FieldState complete = SouthField(1);
        RecordingSurface recorder;
        view(complete, recorder);
        ASSERT_GT(recorder.Calls.size(), 2000u);
        // Every call near either end, and every 97th between them.
        const std::size_t calls = recorder.Calls.size();
        for (std::size_t n = 1; n <= calls; n += n < 16 || n + 16 > calls ? 1 : 97) {
            FieldState field = SouthField(1);
            RecordingSurface surface;
            surface.FailAt = n;
            ASSERT_TRUE(Raises(view, field, surface)) << "failing call " << n;
            ASSERT_EQ(surface.Attempts, n) << "failing call " << n;
            // With no call after the failing one, the log holds the n - 1 before it.
            ASSERT_TRUE(std::equal(surface.Calls.begin(), surface.Calls.end(), recorder.Calls.begin())) << "failing call " << n;
        }
    }
}

}  // namespace
}  // namespace quorrin
