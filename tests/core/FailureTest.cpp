// The fatal error: extents that leave the grid, and drawing operations that fail.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "Drainage.h"
#include "RecordingSurface.h"
#include "Streams.h"

namespace quorrin {
namespace {

using test::Call;
using test::Op;
using test::RecordingSurface;

using View = std::function<void(FieldState&, DrawingSurface&)>;

const View kGenerate = [](FieldState& field, DrawingSurface& surface) {
    SeededRandomSource random;
    GenerateDrainage(field, surface, random);
};
const View kRedraw = [](FieldState& field, DrawingSurface& surface) { DrawDrainage(field, surface); };
const View kStreams = [](FieldState& field, DrawingSurface& surface) { DrawStreams(field, surface); };

FieldState FilledField(int cellSize)
{
    FieldState field;
    field.CellSize = cellSize;
    RecordingSurface surface;
    kGenerate(field, surface);
    return field;
}

TEST(FatalError, ExtentsBeyondTheGridRaiseItAtBothCellSizes)
{
    constexpr float kHuge = 1e30f;
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    const std::pair<float, float> beyond[] = {
        {60, 60}, {60, 51}, {51, 60}, {56, 56}, {kHuge, 51}, {kHuge, 0}, {kInfinity, -1}, {51, kInfinity},
    };
    for (const View& view : {kGenerate, kRedraw, kStreams}) {
        for (const int s : {1, 2}) {
            for (const auto& [w, h] : beyond) {
                SCOPED_TRACE(testing::Message() << "W " << w << ", H " << h << ", s " << s);
                FieldState field = FilledField(s);
                RecordingSurface surface(w, h);
                EXPECT_THROW(view(field, surface), FatalError);
                EXPECT_FALSE(surface.Calls.empty());
            }
        }
    }
}

TEST(FatalError, ExtentsWithoutCellsDrawNoCell)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::pair<float, float> empty[] = {{nan, 51}, {51, nan}, {-5, -5}, {0, 0}, {3.9f, 51}};
    for (const auto& [w, h] : empty) {
        SCOPED_TRACE(testing::Message() << "W " << w << ", H " << h);
        FieldState field;
        RecordingSurface surface(w, h);
        kGenerate(field, surface);
        EXPECT_EQ(field, FieldState{});
        kStreams(field, surface);
        EXPECT_EQ(std::count_if(surface.Calls.begin(), surface.Calls.end(),
                                [](const Call& call) { return call.Operation == Op::DrawLineBy; }),
                  0);
    }
}

// A surface that fails at its n-th call stops the view there and keeps every earlier call.
TEST(FatalError, FailingSurfaceStopsTheViewWithEarlierCallsKept)
{
    for (const View& view : {kGenerate, kStreams}) {
        FieldState reference = FilledField(1);
        RecordingSurface complete;
        view(reference, complete);
        const std::size_t total = complete.Calls.size();
        for (const std::size_t n : {std::size_t{1}, std::size_t{2}, std::size_t{3}, total / 3, total - 1, total}) {
            SCOPED_TRACE(testing::Message() << "failing call " << n << " of " << total);
            FieldState field = FilledField(1);
            RecordingSurface surface;
            surface.FailAtCall(n);
            EXPECT_THROW(view(field, surface), FatalError);
            ASSERT_EQ(surface.Calls.size(), n - 1);
            EXPECT_TRUE(std::equal(surface.Calls.begin(), surface.Calls.end(), complete.Calls.begin()));
        }
    }
}

}  // namespace
}  // namespace quorrin
