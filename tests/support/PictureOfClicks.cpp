// Runs the click handlers on the core's own picture, as a window would.
#include "PictureOfClicks.h"

#include <stdexcept>
#include <string>

#include "RandomSource.h"
#include "RetainedPicture.h"

namespace quorrin::test {

Raster PictureOfClicks(std::string_view clicks, double scale)
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
    return {picture.PixelWidth(), picture.PixelHeight(),
            {picture.Pixels(), picture.Pixels() + picture.PixelWidth() * picture.PixelHeight()}};
}

}  // namespace quorrin::test
