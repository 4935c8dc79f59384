// Runs the click handlers on the core's own picture, as a window would.
#include "PictureOfClicks.h"

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
    program.Start();
    for (const char click : clicks) {
        if (click < '1' || click > '3') {
            throw std::invalid_argument(std::string("no button ") + click);
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
    return PlainPbm(Clicked(program, clicks).Picture());
}

std::string WordsOfClicks(std::string_view clicks)
{
    Program program;
    const Description words = Clicked(program, clicks).Describe();
    return words.Name + ". " + words.Text;
}

std::string CaptionsAndAnnouncementOfClicks(std::string_view clicks)
{
    Program program;
    Clicked(program, clicks);
    return program.Caption("Command1") + '|' + program.Caption("Command2") + '|' + program.Caption("Command3") +
           '\n' + program.Announcement();
}

}  // namespace quorrin::test
