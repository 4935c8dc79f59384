// Prints the core's picture after a series of clicks, for the end-to-end tests of each front end
// to compare a window's pixels against:
//   picture_of_clicks SCALE CLICKS      e.g. picture_of_clicks 2 1223
//   picture_of_clicks layout            the window's title, client area, and each control's name,
//                                       box in pixels at 96 dpi, tab index and text, in creation order
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
            using quorrin::Pixels;
            std::printf("%.*s\n%d %d\n", static_cast<int>(quorrin::kTitle.size()), quorrin::kTitle.data(),
                        Pixels(quorrin::kClientArea.Width), Pixels(quorrin::kClientArea.Height));
            for (const auto& [name, kind, box, tab, text] : quorrin::kControls) {
                std::printf("%.*s %d %d %d %d %d %.*s\n", static_cast<int>(name.size()), name.data(), Pixels(box.Left),
                            Pixels(box.Top), Pixels(box.Width), Pixels(box.Height), tab, static_cast<int>(text.size()),
                            text.data());
            }
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
