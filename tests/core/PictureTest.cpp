// The picture every front end shows: which pixels a segment inks, at any density, kept segments
// rasterised again, and nothing but the given colours.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "Drainage.h"
#include "FatalError.h"
#include "PictureOfClicks.h"
#include "RetainedPicture.h"

namespace quorrin {
namespace {

using test::kInk;
using test::kPaper;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

// The raster as rows of '#' (ink) and '.' (background), top row first, separated by '/'.
std::string Art(const RetainedPicture& picture)
{
    std::string art;
    for (int y = 0; y < picture.PixelHeight(); ++y) {
        for (int x = 0; x < picture.PixelWidth(); ++x) {
            const std::uint32_t pixel = picture.Pixels()[y * picture.PixelWidth() + x];
            art += pixel == kInk ? '#' : pixel == kPaper ? '.' : '?';
        }
        art += y + 1 < picture.PixelHeight() ? "/" : "";
    }
    return art;
}

std::vector<std::uint32_t> Raster(const RetainedPicture& picture)
{
    return {picture.Pixels(), picture.Pixels() + picture.PixelWidth() * picture.PixelHeight()};
}

// One logical unit is one pixel here, so a point lands in the pixel that contains it.
TEST(RetainedPicture, InksThePixelsOfEachSegment)
{
    const struct {
        const char* Name;
        std::vector<Stroke> Strokes;
        const char* Expected;
    } cases[] = {
        {"both ends of a horizontal segment, drawn backwards", {{5.9f, 1.5f, 1.0f, 1.0f, 1}}, "......../.#####../......../......../......../........"},
        {"a shallow diagonal, one pixel per column", {{0.5f, 0.5f, 6.5f, 3.5f, 1}}, "#......./.##...../...##.../.....##./......../........"},
        {"a square pen three pixels wide", {{2.0f, 2.0f, 5.0f, 2.0f, 3}}, "......../.######./.######./.######./......../........"},
        {"a square pen two pixels wide on a diagonal", {{1.0f, 1.0f, 3.0f, 3.0f, 2}}, "##....../###...../.###..../..##..../......../........"},
        {"a segment across the bottom edge reaches the last row", {{2.0f, 3.0f, 2.0f, 1e6f, 1}}, "......../......../......../..#...../..#...../..#....."},
        {"ends far away on both sides", {{-1e30f, 4.0f, 1e30f, 4.0f, 1}}, "......../......../......../......../########/........"},
        {"a segment on the far edge lies outside", {{8.0f, 0.0f, 8.0f, 6.0f, 1}, {0.0f, 6.0f, 8.0f, 6.0f, 1}}, "......../......../......../......../......../........"},
        {"coordinates that are not finite", {{kNaN, 1.0f, 2.0f, 3.0f, 1}, {1.0f, -kInfinity, 1.0f, 2.0f, 1}}, "......../......../......../......../......../........"},
    };
    for (const auto& c : cases) {
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

// New colours or a new density rasterise the kept segments again, just as a picture drawn
// afresh that way.
TEST(RetainedPicture, RasterisesKeptSegmentsAgainForNewColoursAndDensity)
{
    const auto draw = [](RetainedPicture& picture) {
        FieldState field;
        SeededRandomSource random;
        GenerateDrainage(field, picture, random);
    };
    for (const bool colours : {true, false}) {
        SCOPED_TRACE(colours ? "new colours" : "new density");
        const auto change = [colours](RetainedPicture& picture) { colours ? picture.SetColours(kInk, kPaper) : picture.SetScale(2.0); };
        RetainedPicture changed(455, 439), fresh(455, 439);
        draw(changed);
        changed.Render();
        change(changed);
        changed.Render();
        change(fresh);
        draw(fresh);
        fresh.Render();
        EXPECT_EQ(Raster(changed), Raster(fresh));
    }
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
