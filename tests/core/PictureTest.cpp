// The picture every front end shows: which pixels a segment inks, and the same pixels for the
// same clicks on every platform.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "FatalError.h"
#include "PictureOfClicks.h"
#include "RetainedPicture.h"

namespace quorrin {
namespace {

using test::PlainPbm;

// The raster as rows of '#' (ink) and '.' (paper), top row first, separated by '/'.
std::string Art(const RetainedPicture& picture)
{
    std::string art = PlainPbm(picture);
    art.erase(0, art.find('\n', 3) + 1);
    art.pop_back();
    for (char& pixel : art) pixel = pixel == '1' ? '#' : pixel == '0' ? '.' : pixel == '\n' ? '/' : '?';
    return art;
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
        {"a sloping segment across the bottom edge is cut at the edge, not short of it", {{0.5f, 3.5f, 8.5f, 7.5f, 1}}, "......../......../......../#......./.##...../...##..."},
        {"a sloping segment across the right edge is cut at the edge, not short of it", {{4.5f, 0.5f, 10.5f, 3.5f, 1}}, "....#.../.....##./.......#/......../......../........"},
        {"ends far away on both sides", {{-1e30f, 4.0f, 1e30f, 4.0f, 1}}, "......../......../......../......../########/........"},
        {"a segment on the far edge lies outside", {{8.0f, 0.0f, 8.0f, 6.0f, 1}, {0.0f, 6.0f, 8.0f, 6.0f, 1}}, "......../......../......../......../......../........"},
        {"coordinates that are not finite", {{std::nanf(""), 1.0f, 2.0f, 3.0f, 1}, {1.0f, -HUGE_VALF, 1.0f, 2.0f, 1}}, "......../......../......../......../......../........"},
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
    // A change of the ink alone inks the picture anew.
    RetainedPicture recoloured(8, 6, 8.0f, 6.0f);
    recoloured.DrawLine(1.0f, 1.0f, 5.0f, 1.0f);
    recoloured.Render();
    recoloured.SetColours(test::kPaper, 0xff0000ffu);
    recoloured.Render();
    EXPECT_EQ(Art(recoloured), "......../.?????../......../......../......../........");
    // At a fractional density the raster is the area times the density, rounded.
    RetainedPicture picture(455, 439);
    for (const auto& [scale, width, height] : {std::tuple{1.25, 569, 549}, {1.5, 683, 659}}) {
        picture.SetScale(scale);
        EXPECT_EQ(std::pair(picture.PixelWidth(), picture.PixelHeight()), std::pair(width, height)) << scale;
    }
    EXPECT_THROW(picture.SetPenWidth(0), FatalError);
    // The report names the density as people write it.
    for (const auto& [scale, named] : {std::pair{0.0, "density of 0 cannot"}, {17.0, "density of 17 cannot"},
                                       {16.5, "density of 16.5 cannot"}}) {
        try {
            picture.SetScale(scale);
            ADD_FAILURE() << scale << " is shown";
        } catch (const FatalError& error) {
            EXPECT_NE(std::string(error.what()).find(named), std::string::npos) << error.what();
        }
    }
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
        {"1", 1.0, 1504853461297008577ULL},
        {"11", 2.0, 13830905972876096724ULL},
        {"112", 1.0, 10585414570672887533ULL},
        {"3332", 2.0, 7028269112112575126ULL},
    };
    for (const auto& row : rows) {
        // FNV-1a over the picture's text.
        std::uint64_t digest = 0xcbf29ce484222325ULL;
        for (const char c : test::PictureOfClicks(row.Clicks, row.Scale)) digest = (digest ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
        EXPECT_EQ(digest, row.Digest) << "clicks " << row.Clicks << " at scale " << row.Scale;
    }
}

}  // namespace
}  // namespace quorrin
