// Runs the click handlers on the core's own picture, as a window would.
#include "PictureOfClicks.h"

#include <algorithm>
#include <stdexcept>

#include "Program.h"

namespace quorrin::test {

std::string PlainPbm(const std::uint32_t* pixels, int width, int height)
{
    std::string pbm = "P1\n" + std::to_string(width) + ' ' + std::to_string(height) + '\n';
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = pixels[y * width + x];
            pbm += pixel == kInk ? '1' : pixel == kPaper ? '0' : '?';
        }
        pbm += '\n';
    }
    return pbm;
}

namespace {

Program& Clicked(Program& program, std::string_view clicks)
{
    // The explore keys by letter: the arrows as n, s, w and e, Page Down and Page Up as d and u,
    // with Shift as > and <, End as f and Home as h.
    constexpr std::string_view keys = "nswedufh><";
    program.Start();
    for (const char click : clicks) {
        if (const std::size_t key = keys.find(click); key != std::string_view::npos) {
            program.Explore(static_cast<ExploreKey>(key));
            continue;
        }
        if (const auto failure = program.Click(std::string("Command") + click)) {
            throw std::runtime_error(*failure);
        }
    }
    return program;
}

}  // namespace

std::string PictureOfClicks(std::string_view clicks, double scale)
{
    Program program;
    program.Picture().SetScale(scale);
    program.Picture().SetColours(kPaper, kInk);
    std::string pbm = PlainPbm(Clicked(program, clicks).Picture());
    // The explorer's cursor, a ring over the picture, as 2.
    if (const auto box = program.CursorBox()) {
        const int width = program.Picture().PixelWidth();
        const std::size_t start = pbm.size() - static_cast<std::size_t>((width + 1) * program.Picture().PixelHeight());
        for (int y = box->Top; y <= box->Bottom; ++y) {
            for (int x = box->Left; x <= box->Right; ++x) {
                // The box lies within the raster.
                if (std::min({x - box->Left, box->Right - x, y - box->Top, box->Bottom - y}) < box->Ring) {
                    pbm[start + static_cast<std::size_t>(y * (width + 1) + x)] = '2';
                }
            }
        }
    }
    return pbm;
}

std::string WordsOfClicks(std::string_view clicks)
{
    Program program;
    const Description words = Clicked(program, clicks).Describe();
    return words.Name + ". " + words.Text + '\n' + program.Caption("Command1") + '|' + program.Caption("Command2") + '|' +
           program.Caption("Command3") + '\n' + program.Announcement();
}

}  // namespace quorrin::test
