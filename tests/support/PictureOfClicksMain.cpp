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
        if (argc == 2 && std::string_view(argv[1]) == "layout") {
            std::fputs(quorrin::WindowLayoutText().c_str(), stdout);
            return EXIT_SUCCESS;
        }
        if (argc == 2 && std::string_view(argv[1]) == "largest") {
            std::printf("%g\n", quorrin::RetainedPicture::kLargestScale);
            return EXIT_SUCCESS;
        }
        if (argc == 3 && std::string_view(argv[1]) == "words") {
            std::printf("%s\n%s\n", quorrin::test::WordsOfClicks(argv[2]).c_str(),
                        quorrin::test::CaptionsAndAnnouncementOfClicks(argv[2]).c_str());
            return EXIT_SUCCESS;
        }
        if (argc != 3) throw std::invalid_argument("usage: picture_of_clicks SCALE CLICKS");
        std::fputs(quorrin::test::PictureOfClicks(argv[2], std::stod(argv[1])).c_str(), stdout);
        return EXIT_SUCCESS;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "picture_of_clicks: %s\n", error.what());
        return EXIT_FAILURE;
    }
}
