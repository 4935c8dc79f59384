// The picture every front end shows: which pixels a segment inks, at any density, kept segments
// rasterised again, and nothing but the given colours.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "Drainage.h"
#include "FatalError.h"
#include "PictureOfClicks.h"
#include "RetainedPicture.h"
#include "Streams.h"

namespace quorrin {
namespace {

constexpr std::uint32_t kPaper = 0xffffffff;
constexpr std::uint32_t kInk = 0xff000000;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

// The raster as rows of '#' (ink) and '.' (background), top row first.
std::string Art(const RetainedPicture& picture)
{
    std::string art;
    for (int y = 0; y < picture.PixelHeight(); ++y) {
        for (int x = 0; x < picture.PixelWidth(); ++x) {
            const std::uint32_t pixel = picture.Pixels()[y * picture.PixelWidth() + x];
            art += pixel == kInk ? '#' : pixel == kPaper ? '.' : '?';
        }
        art += '\n';
    }
    return art;
}

std::vector<std::uint32_t> Raster(const RetainedPicture& picture)
{
    return {picture.Pixels(), picture.Pixels() + picture.PixelWidth() * picture.PixelHeight()};
}

struct Case {
    const char* Name;
    std::vector<Stroke> Strokes;
    const char* Expected;
};

// One logical unit is one pixel here, so a point lands in the pixel that contains it.
TEST(RetainedPicture, InksThePixelsOfEachSegment)
{
    const Case cases[] = {
        {"both ends of a horizontal segment, drawn backwards", {{5.9f, 1.5f, 1.0f, 1.0f, 1}},
         "........\n.#####..\n........\n........\n........\n........\n"},
        {"a shallow diagonal, one pixel per column", {{0.5f, 0.5f, 6.5f, 3.5f, 1}},
         "#.......\n.##.....\n...##...\n.....##.\n........\n........\n"},
        {"a square pen three pixels wide", {{2.0f, 2.0f, 5.0f, 2.0f, 3}},
         "........\n.######.\n.######.\n.######.\n........\n........\n"},
        {"a square pen two pixels wide on a diagonal", {{1.0f, 1.0f, 3.0f, 3.0f, 2}},
         "##......\n###.....\n.###....\n..##....\n........\n........\n"},
        {"a segment across the bottom edge reaches the last row", {{2.0f, 3.0f, 2.0f, 1e6f, 1}},
         "........\n........\n........\n..#.....\n..#.....\n..#.....\n"},
        {"ends far away on both sides", {{-1e30f, 4.0f, 1e30f, 4.0f, 1}},
         "........\n........\n........\n........\n########\n........\n"},
        {"a segment on the far edge lies outside", {{8.0f, 0.0f, 8.0f, 6.0f, 1}, {0.0f, 6.0f, 8.0f, 6.0f, 1}},
         "........\n........\n........\n........\n........\n........\n"},
        {"coordinates that are not finite", {{kNaN, 1.0f, 2.0f, 3.0f, 1}, {1.0f, -kInfinity, 1.0f, 2.0f, 1}},
         "........\n........\n........\n........\n........\n........\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        RetainedPicture picture(8, 6, 8.0f, 6.0f);
        for (const Stroke& stroke : c.Strokes) {
            picture.SetPenWidth(stroke.PenWidth);
            picture.DrawLine(stroke.X1, stroke.Y1, stroke.X2, stroke.Y2);
        }
        picture.Render();
        EXPECT_EQ(Art(picture), c.Expected);
    }
    RetainedPicture picture(8, 6);
    EXPECT_THROW(picture.SetPenWidth(0), FatalError);
    EXPECT_THROW(picture.SetScale(0.0), FatalError);
}

// The extent of 51 laid over the 455 x 439 drawing area: the coarse field's right edge at
// logical 48 is one device pixel wide at every density, in the column that contains it.
TEST(RetainedPicture, MapsTheFieldLinearlyAtEveryDensity)
{
    for (const double scale : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(scale);
        FieldState field;
        field.CellSize = 2;
        SeededRandomSource random;
        RetainedPicture picture(455, 439);
        picture.SetScale(scale);
        GenerateDrainage(field, picture, random);
        picture.Render();
        ASSERT_EQ(picture.PixelWidth(), std::lround(455 * scale));
        ASSERT_EQ(picture.PixelHeight(), std::lround(439 * scale));

        const int edge = static_cast<int>(std::floor(48 * picture.PixelWidth() / 51.0));
        const int row = picture.PixelHeight() / 2;
        const std::uint32_t* pixels = picture.Pixels() + row * picture.PixelWidth();
        EXPECT_EQ(pixels[edge - 1], kPaper);
        EXPECT_EQ(pixels[edge], kInk);
        EXPECT_EQ(pixels[edge + 1], kPaper);
    }
}

// A new density or new colours rasterise the kept segments again, and the result is what the
// views draw afresh; so is a picture rasterised in pieces as it was drawn.
TEST(RetainedPicture, RasterisesKeptSegmentsAgainAsTheViewsWouldDrawThem)
{
    FieldState field;
    SeededRandomSource random;
    RetainedPicture moved(455, 439);
    GenerateDrainage(field, moved, random);
    moved.Render();
    moved.SetPenWidth(3);
    moved.DrawLine(0.0f, 0.0f, 51.0f, 51.0f);
    moved.Render();
    const std::vector<Stroke> strokes = moved.Strokes();
    moved.SetScale(2.0);
    moved.SetColours(kInk, kPaper);
    moved.Render();
    EXPECT_EQ(moved.Strokes(), strokes);

    RetainedPicture dense(455, 439);
    dense.SetScale(2.0);
    DrawStreams(field, dense);
    dense.Render();
    DrawDrainage(field, dense);
    dense.SetPenWidth(3);
    dense.DrawLine(0.0f, 0.0f, 51.0f, 51.0f);
    dense.Render();
    std::vector<std::uint32_t> inverted = Raster(dense);
    for (std::uint32_t& pixel : inverted) {
        pixel = pixel == kInk ? kPaper : kInk;
    }
    EXPECT_EQ(Raster(moved), inverted);
}

// FNV-1a over the size and the inked pixels.
std::uint64_t Digest(const test::Raster& raster)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    const auto add = [&hash](std::uint64_t value) { hash = (hash ^ value) * 0x100000001b3ULL; };
    add(static_cast<std::uint64_t>(raster.Width));
    add(static_cast<std::uint64_t>(raster.Height));
    for (const std::uint32_t pixel : raster.Pixels) {
        add(pixel == test::kInk ? 1 : 0);
    }
    return hash;
}

// The core tests run on every platform the program is built for; these digests, made on
// Linux, prove that the same clicks give the same pixels on each: the random sequence, the
// views' arithmetic and the rasterising alike.
TEST(RetainedPicture, SameClicksGiveTheSamePixelsOnEveryPlatform)
{
    const struct {
        const char* Clicks;
        double Scale;
        std::uint64_t Digest;
    } rows[] = {
        {"1", 1.0, 16424635218934381890ULL},
        {"11", 2.0, 12469536977439802282ULL},
        {"112", 1.0, 16427724261650588094ULL},
        {"3332", 2.0, 362376429396972840ULL},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Digest(test::PictureOfClicks(row.Clicks, row.Scale)), row.Digest)
            << "clicks " << row.Clicks << " at scale " << row.Scale;
    }
}

}  // namespace
}  // namespace quorrin
