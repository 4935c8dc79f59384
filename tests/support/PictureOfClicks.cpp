// Runs the click handlers on the core's own picture, as a window would.
#include "PictureOfClicks.h"

#include <stdexcept>

#include "RandomSource.h"

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

std::string PictureOfClicks(std::string_view clicks, double scale)
{
    RetainedPicture picture(455, 439);
    picture.SetScale(scale);
    picture.SetColours(kPaper, kInk);
    RecordedCaptions captions;
    SeededRandomSource random;
    Handlers handlers(picture, captions, random);
    handlers.OnWindowLoad();
    for (const char click : clicks) {
        switch (click) {
        case '1': handlers.OnNewRandom(); break;
        case '2': handlers.OnToggleView(); break;
        case '3': handlers.OnNewRandomWithTaps(); break;
        default: throw std::invalid_argument(std::string("no button ") + click);
        }
    }
    picture.Render();
    return PlainPbm(picture);
}

}  // namespace quorrin::test
