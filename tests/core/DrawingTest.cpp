// What the views draw: opening calls, glyphs, stream segments and outlet marks, and the redraw.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <algorithm>
#include <iterator>
#include <utility>

#include "Drainage.h"
#include "FieldDrawing.h"
#include "RecordingSurface.h"
#include "Streams.h"

namespace quorrin {
namespace {

using test::Call;
using test::Op;
using test::RecordingSurface;
using test::Segment;
using ::testing::ElementsAreArray;
using ::testing::FloatNear;
using ::testing::Pointwise;

// Every visited cell of a 51 x 51 extent at cell size s gets direction d.
FieldState Uniform(Direction d, int s)
{
    FieldState field;
    field.CellSize = s;
    for (int x = 2 * s; x <= 50; x += s) {
        for (int y = 2 * s; y <= 50; y += s) {
            field.DirectionGrid.At(x, y) = d;
        }
    }
    return field;
}

// The points the pen passes through, from the first segment's start.
std::vector<float> PenPath(const std::vector<Segment>& segments)
{
    std::vector<float> points{segments.front().X1, segments.front().Y1};
    for (const Segment& segment : segments) {
        points.insert(points.end(), {segment.X2, segment.Y2});
    }
    return points;
}

TEST(Views, OpenWithTheirClearsAndTheFrame)
{
    FieldState field;
    field.CellSize = 2;
    RecordingSurface drainage;
    DrawDrainage(field, drainage);
    const std::vector<Call> opening{
        {Op::SetPenWidth, {1}},  {Op::ClearPicture, {}},   {Op::ClearWindowArea, {}},
        {Op::LogicalWidth, {}},  {Op::LogicalHeight, {}},  {Op::DrawLine, {48, 3, 48, 48}},
        {Op::DrawLine, {3, 48, 48, 48}},  // bottom edge
        {Op::LogicalWidth, {}},  {Op::LogicalHeight, {}},  {Op::DrawLine, {3, 3, 3, 48}},
        {Op::LogicalHeight, {}}, {Op::LogicalWidth, {}},   {Op::DrawLine, {3, 3, 48, 3}},
    };
    ASSERT_GE(drainage.Calls.size(), opening.size());
    EXPECT_EQ(std::vector<Call>(drainage.Calls.begin(), drainage.Calls.begin() + 13), opening);

    // The stream view keeps the pen width in force and draws no frame.
    RecordingSurface streams;
    streams.SetPenWidth(3);
    FieldState north = Uniform(Direction::North, 1);
    DrawStreams(north, streams);
    EXPECT_EQ(streams.Calls[1], (Call{Op::ClearPicture, {}}));
    EXPECT_EQ(streams.Calls[2], (Call{Op::ClearWindowArea, {}}));
    EXPECT_EQ(streams.Count(Op::SetPenWidth), 1u);
    EXPECT_EQ(streams.Segments.front(), (Segment{2, 2, 2, 1, 3}));
}

struct GlyphCase {
    Direction D;
    int S;
    // The pen's points, relative to the cell's centre.
    std::vector<std::pair<double, double>> Path;
};

TEST(DrawDirectionGlyph, PassesThroughTheGlyphsPoints)
{
    const auto path = [](Direction d, int s) {
        const double h = 0.5 * s, g = 0.2 * s;
        switch (d) {
        case Direction::North: return GlyphCase{d, s, {{0, 0}, {0, -h}, {-g, -h}, {0, -h - g}, {g, -h}, {0, -h}}};
        case Direction::South: return GlyphCase{d, s, {{0, 0}, {0, h}, {-g, h}, {0, h + g}, {g, h}, {0, h}}};
        case Direction::East: return GlyphCase{d, s, {{0, 0}, {h, 0}, {h, -g}, {h + g, 0}, {h, g}, {h, 0}}};
        default: return GlyphCase{d, s, {{0, 0}, {-h, 0}, {-h, g}, {-h - g, 0}, {-h, -g}, {-h, 0}}};
        }
    };
    for (const Direction d : {Direction::North, Direction::South, Direction::East, Direction::West}) {
        for (const int s : {1, 2}) {
            const GlyphCase glyph = path(d, s);
            SCOPED_TRACE(testing::Message() << "direction " << int(d) << ", cell size " << s);
            RecordingSurface surface;
            DrawDirectionGlyph(surface, 10, 12, d, s, 0.2 * s);
            std::vector<float> expected;
            for (const auto& [dx, dy] : glyph.Path) {
                expected.insert(expected.end(), {static_cast<float>(10 + dx), static_cast<float>(12 + dy)});
            }
            EXPECT_THAT(PenPath(surface.Segments), Pointwise(FloatNear(1e-5f), expected));
            ASSERT_EQ(surface.Calls.size(), 5u);
            EXPECT_EQ(surface.Calls[0].Operation, Op::DrawLine);
        }
    }
    RecordingSurface none;
    DrawDirectionGlyph(none, 10, 12, Direction::None, 1, 0.2);
    EXPECT_TRUE(none.Calls.empty());
}

struct StreamCase {
    Direction D;
    float W, H;
    int S;
    std::size_t Marks;
};

TEST(DrawStreams, DrawsOneSegmentPerCellAndMarksOnlyOnExactEdges)
{
    const StreamCase cases[] = {
        {Direction::East, 51, 51, 1, 48},   {Direction::East, 52, 51, 1, 48},
        {Direction::East, 51.5f, 51, 1, 0}, {Direction::East, 51, 51, 2, 0},
        {Direction::East, 52, 51, 2, 22},   {Direction::East, 51.5f, 51, 2, 0},
        {Direction::South, 51, 51, 1, 48},  {Direction::South, 51, 52, 1, 48},
        {Direction::South, 51, 51.5f, 1, 0}, {Direction::South, 51, 51, 2, 0},
        {Direction::South, 51, 52, 2, 22},  {Direction::South, 51, 51.5f, 2, 0},
        {Direction::North, 51, 51, 1, 48},  {Direction::North, 51, 51, 2, 22},
        {Direction::West, 51, 51, 1, 48},   {Direction::West, 52, 51, 2, 22},
    };
    for (const StreamCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "direction " << int(c.D) << ", W " << c.W << ", H "
                                        << c.H << ", s " << c.S);
        FieldState field = Uniform(c.D, c.S);
        RecordingSurface surface(c.W, c.H);
        DrawStreams(field, surface);

        const std::size_t lines = surface.Count(Op::DrawLine);
        EXPECT_EQ(surface.Count(Op::DrawLineBy), 4 * c.Marks);
        EXPECT_EQ(surface.Count(Op::SetPenWidth), c.D == Direction::East ? lines : 0u);
        const Step step = StepOf(c.D);
        for (const Call& call : surface.Calls) {
            if (call.Operation == Op::DrawLine) {
                EXPECT_EQ(call.Arguments[2] - call.Arguments[0], float(c.S * step.Dx));
                EXPECT_EQ(call.Arguments[3] - call.Arguments[1], float(c.S * step.Dy));
            }
        }
        // The first mark follows its stream segment: its apex lies 0.3 s beyond the segment's
        // end, out of the field, and the segment starts on the edge it leaves by.
        const auto mark = std::find_if(surface.Calls.begin(), surface.Calls.end(),
                                       [](const Call& call) { return call.Operation == Op::DrawLineBy; });
        if (mark == surface.Calls.end()) {
            continue;
        }
        const std::vector<float>& stream =
            std::find_if(std::make_reverse_iterator(mark), surface.Calls.rend(), [](const Call& call) {
                return call.Operation == Op::DrawLine;
            })->Arguments;
        EXPECT_NEAR(stream[2] + mark[0].Arguments[0] + mark[1].Arguments[0], stream[2] + 0.3 * c.S * step.Dx, 1e-5);
        EXPECT_NEAR(stream[3] + mark[0].Arguments[1] + mark[1].Arguments[1], stream[3] + 0.3 * c.S * step.Dy, 1e-5);
        const double edge = step.Dx > 0 ? c.W - 2.0 * c.S : step.Dy > 0 ? c.H - 2.0 * c.S : 2.0 * c.S;
        EXPECT_EQ(step.Dx != 0 ? stream[0] : stream[1], edge);
    }
}

TEST(DrawDrainage, RepeatsTheGenerationsCallsAndChangesNothing)
{
    for (const int s : {1, 2}) {
        SeededRandomSource random;
        FieldState field;
        field.CellSize = s;
        RecordingSurface generation;
        GenerateDrainage(field, generation, random);

        const FieldState before = field;
        RecordingSurface redraw;
        redraw.SetPenWidth(4);
        redraw.Calls.clear();
        DrawDrainage(field, redraw);
        EXPECT_EQ(redraw.Calls, generation.Calls) << "cell size " << s;
        EXPECT_EQ(field, before);
        EXPECT_TRUE(std::all_of(redraw.Segments.begin(), redraw.Segments.end(),
                                [](const Segment& segment) { return segment.PenWidth == 1; }));
    }
}

}  // namespace
}  // namespace quorrin
