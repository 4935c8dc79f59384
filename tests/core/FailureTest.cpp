// The fatal error: extents that leave the grid, and drawing operations that fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
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

// Every cell of the grid drains south, so every visited cell has a glyph and a stream.
FieldState SouthField(int cellSize)
{
    FieldState field;
    field.CellSize = cellSize;
    for (int x = 0; x <= kGridLast; ++x) {
        for (int y = 0; y <= kGridLast; ++y) {
            field.DirectionGrid.At(x, y) = Direction::South;
        }
    }
    return field;
}

struct ExtentCase {
    const char* Name;
    float Extent;
    // Whether the visited cells reach past index 50, at cell size 1 and at cell size 2.
    bool Beyond[2];
    // How many columns an extent this wide visits, at cell size 1 and 2, when they fit.
    std::size_t Visited[2];
};

// Every extent either draws the cells it visits, all within the grid, or raises the fatal
// error; it never reaches outside the grid (the asan preset checks that too).
TEST(FatalError, EveryExtentDrawsItsCellsOrRaisesIt)
{
    const float inf = std::numeric_limits<float>::infinity();
    const ExtentCase cases[] = {
        {"zero", 0, {false, false}, {0, 0}},
        {"negative", -7, {false, false}, {0, 0}},
        {"too small for one cell", 3.9f, {false, false}, {0, 0}},
        {"fractional", 30.5f, {false, false}, {27, 12}},
        {"just below 52", 51.999f, {false, false}, {48, 22}},
        {"52", 52, {false, false}, {49, 23}},
        {"53", 53, {true, false}, {0, 23}},
        {"56", 56, {true, true}, {0, 0}},
        {"huge", 1e30f, {true, true}, {0, 0}},
        {"infinite", inf, {true, true}, {0, 0}},
        {"not a number", std::numeric_limits<float>::quiet_NaN(), {false, false}, {0, 0}},
    };
    struct NamedView {
        const char* Name;
        View Run;
        bool DrawsField;  // frame, borders and glyphs rather than streams
    };
    const NamedView views[] = {{"generate", kGenerate, true}, {"redraw", kRedraw, true}, {"streams", kStreams, false}};
    for (const ExtentCase& c : cases) {
        for (const int s : {1, 2}) {
            const std::size_t plain = s == 1 ? 48 : 22;  // visited columns or rows of 51
            for (const NamedView& view : views) {
                for (const bool wide : {true, false}) {
                    SCOPED_TRACE(testing::Message() << c.Name << (wide ? " wide" : " high") << ", cell size "
                                                    << s << ", " << view.Name);
                    FieldState field = SouthField(s);
                    RecordingSurface surface(wide ? c.Extent : 51.0f, wide ? 51.0f : c.Extent);
                    if (c.Beyond[s - 1]) {
                        EXPECT_THROW(view.Run(field, surface), FatalError);
                        continue;
                    }
                    view.Run(field, surface);
                    const std::size_t columns = wide ? c.Visited[s - 1] : plain;
                    const std::size_t cells = columns * (wide ? plain : c.Visited[s - 1]);
                    // The frame, each column's border, each cell's row border and stem; or one
                    // stream per cell.
                    EXPECT_EQ(surface.Count(Op::DrawLine), view.DrawsField ? 2 + columns + 2 * cells : cells);
                }
            }
        }
    }
}

// Fails at its n-th call, and keeps only a running hash of the calls before it.
class FailingSurface final : public DrawingSurface {
public:
    // prefixes, when given, gets the running hash after every call.
    explicit FailingSurface(std::size_t failAt, std::vector<std::uint64_t>* prefixes = nullptr)
        : FailAt(failAt), Prefixes(prefixes)
    {
    }

    void ClearPicture() override { Note(1, {}); }
    void ClearWindowArea() override { Note(2, {}); }
    float LogicalWidth() override { return Note(3, {}), 51.0f; }
    float LogicalHeight() override { return Note(4, {}), 51.0f; }
    void SetPenWidth(int pixels) override { Note(5, {static_cast<float>(pixels)}); }
    void DrawLine(float x1, float y1, float x2, float y2) override { Note(6, {x1, y1, x2, y2}); }
    void DrawLineBy(float dx, float dy) override { Note(7, {dx, dy}); }

    std::size_t Calls = 0;
    std::uint64_t Hash = 0;

private:
    void Note(int op, std::initializer_list<float> arguments)
    {
        if (++Calls == FailAt) {
            throw FatalError("scripted failure");
        }
        Hash = Hash * 1099511628211ULL + static_cast<std::uint64_t>(op);
        for (const float value : arguments) {
            Hash = Hash * 1099511628211ULL + static_cast<std::uint64_t>(std::llround(value * 1000.0f));
        }
        if (Prefixes != nullptr) {
            Prefixes->push_back(Hash);
        }
    }

    std::size_t FailAt;
    std::vector<std::uint64_t>* Prefixes;
};

// Whichever call fails, the view raises one error and stops right there, after making every
// earlier call just as a run without failure makes it.
TEST(FatalError, FailureAtEveryCallStopsTheViewThere)
{
    const std::pair<const char*, View> views[] = {{"fine generation", kGenerate}, {"stream view", kStreams}};
    for (const auto& [name, view] : views) {
        SCOPED_TRACE(name);
        std::vector<std::uint64_t> prefixes;
        FieldState completeField = SouthField(1);
        FailingSurface complete(0, &prefixes);
        view(completeField, complete);
        ASSERT_GT(prefixes.size(), 4000u);

        for (std::size_t n = 1; n <= prefixes.size(); ++n) {
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
            ASSERT_EQ(surface.Hash, n == 1 ? 0u : prefixes[n - 2]) << "failing call " << n;
        }
    }
}

}  // namespace
}  // namespace quorrin
