// Prints the core's picture after a series of clicks, for the end-to-end tests of each front end
// to compare a window's pixels against:
//   picture_of_clicks SCALE CLICKS      e.g. picture_of_clicks 2 1223
//   picture_of_clicks layout            the window's table as text
//   picture_of_clicks largest           the largest density the picture is rasterised at
//   picture_of_clicks words CLICKS      the picture in words after the clicks, a line of the
//                                       buttons' captions and one of what the last click announced
// CLICKS are the digits 1, 2 and 3 for Command1, Command2 and Command3 (none for the picture at
// start). The output is a plain PBM image, text, so that it passes any runner's standard output.
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

#include "PictureOfClicks.h"
#include "Window.h"

int main(int argc, char* argv[])
{
    try {
        const std::string_view command = argc > 1 ? argv[1] : "";
        if (argc == 2 && command == "layout") {
            std::fputs(quorrin::WindowLayoutText().c_str(), stdout);
        } else if (argc == 2 && command == "largest") {
            std::printf("%g\n", quorrin::RetainedPicture::kLargestScale);
        } else if (argc == 3 && command == "words") {
            std::printf("%s\n", quorrin::test::WordsOfClicks(argv[2]).c_str());
        } else if (argc == 3) {
            std::fputs(quorrin::test::PictureOfClicks(argv[2], std::stod(argv[1])).c_str(), stdout);
        } else {
            throw std::invalid_argument("usage: picture_of_clicks SCALE CLICKS");
        }
        return EXIT_SUCCESS;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "picture_of_clicks: %s\n", error.what());
        return EXIT_FAILURE;
    }
}
