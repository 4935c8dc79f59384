// The core's picture after a series of clicks, as every front end must show it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "RetainedPicture.h"

namespace quorrin::test {

constexpr std::uint32_t kPaper = 0xffffffff;
constexpr std::uint32_t kInk = 0xff000000;

// Pixels, a row after another, as a plain PBM image: a header, then one line per pixel row of 1
// (kInk), 0 (kPaper) or ? (any other colour, which no PBM reader takes).
std::string PlainPbm(const std::uint32_t* pixels, int width, int height);
inline std::string PlainPbm(const RetainedPicture& picture)
{
    return PlainPbm(picture.Pixels(), picture.PixelWidth(), picture.PixelHeight());
}

// Starts the program's state afresh and clicks the buttons named by the digits of `clicks`
// ('1' Command1, '2' Command2, '3' Command3) and presses the explore keys its letters name, on the
// window's drawing area at `scale` device pixels per pixel; returns the picture as PlainPbm, the
// explorer's cursor drawn over it as 2. Throws std::runtime_error for any other character.
std::string PictureOfClicks(std::string_view clicks, double scale);
// The picture in words after those clicks (its name, a full stop and its description), a line of
// the buttons' captions, Command1's to Command3's with a '|' between them, and a line of what a
// screen reader is told of the last click.
std::string WordsOfClicks(std::string_view clicks);

}  // namespace quorrin::test
