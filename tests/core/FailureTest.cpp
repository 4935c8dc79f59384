// The fatal error: extents that leave the grid, and drawing operations that fail.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>

#include "Drainage.h"
#include "Streams.h"

namespace quorrin {
namespace {

// Fails at its n-th call (never for 0), and keeps only a running hash of the calls before it.
class FailingSurface final : public DrawingSurface {
public:
    explicit FailingSurface(std::size_t failAt, float width = 51, float height = 51) : FailAt(failAt), Width(width), Height(height) {}
    void ClearPicture() override { Note(1, {}); }
    void ClearWindowArea() override { Note(2, {}); }
    float LogicalWidth() override { return Note(3, {}), Width; }
    float LogicalHeight() override { return Note(4, {}), Height; }
    void SetPenWidth(int pixels) override { Note(5, {static_cast<float>(pixels)}); }
    void DrawLine(float x1, float y1, float x2, float y2) override { Note(6, {x1, y1, x2, y2}); }
    void DrawLineBy(float dx, float dy) override { Note(7, {dx, dy}); }

    std::size_t Calls = 0;
    std::uint64_t Hash = 0;
    std::vector<std::uint64_t> Prefixes;  // the hash after each call, when failAt is 0

private:
    void Note(int op, std::initializer_list<float> arguments)
    {
        if (++Calls == FailAt) throw FatalError("scripted failure");
        Hash = Hash * 1099511628211ULL + static_cast<std::uint64_t>(op);
        for (const float value : arguments) Hash = Hash * 1099511628211ULL + static_cast<std::uint64_t>(std::llround(value * 1000.0f));
        if (FailAt == 0) Prefixes.push_back(Hash);
    }
    std::size_t FailAt;
    float Width, Height;
};

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
                    FailingSurface surface(0, wide ? row.Extent : 51.0f, wide ? 51.0f : row.Extent);
                    if (row.Raised[s - 1]) {
                        EXPECT_THROW(view(field, surface), FatalError);
                    } else {
                        EXPECT_NO_THROW(view(field, surface));
                    }
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
        FailingSurface recorder(0);
        view(complete, recorder);
        ASSERT_GT(recorder.Prefixes.size(), 2000u);
        for (std::size_t n = 1; n <= recorder.Prefixes.size(); ++n) {
            FieldState field = SouthField(1);
            FailingSurface surface(n);
            int raised = 0;
            try {
                view(field, surface);
            } catch (const FatalError&) {
                ++raised;
            }
            ASSERT_EQ(raised, 1) << "failing call " << n;
            ASSERT_EQ(surface.Calls, n) << "failing call " << n;
            ASSERT_EQ(surface.Hash, n == 1 ? 0u : recorder.Prefixes[n - 2]) << "failing call " << n;
        }
    }
}

}  // namespace
}  // namespace quorrin
