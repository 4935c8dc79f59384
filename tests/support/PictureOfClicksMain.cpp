// Prints the core's picture after a series of clicks, for the end-to-end tests of each front end
// to compare a window's pixels against:
//   picture_of_clicks [--scale S] CLICKS      e.g. picture_of_clicks --scale 2 1223
// CLICKS are the digits 1, 2 and 3 for Command1, Command2 and Command3. The output is a plain
// PBM image (text, so it passes any runner's standard output): one line of 0 (paper) and
// 1 (ink) per pixel row.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "PictureOfClicks.h"

int main(int argc, char* argv[])
{
    try {
        double scale = 1.0;
        int next = 1;
        if (argc == 4 && std::string(argv[1]) == "--scale") {
            scale = std::stod(argv[2]);
            next = 3;
        }
        if (next != argc - 1) {
            std::fputs("usage: picture_of_clicks [--scale S] CLICKS\n", stderr);
            return EXIT_FAILURE;
        }
        const quorrin::test::Raster raster = quorrin::test::PictureOfClicks(argv[next], scale);
        std::printf("P1\n%d %d\n", raster.Width, raster.Height);
        std::string row;
        for (int y = 0; y < raster.Height; ++y) {
            row.clear();
            for (int x = 0; x < raster.Width; ++x) {
                row += raster.Pixels[static_cast<std::size_t>(y * raster.Width + x)] == quorrin::test::kInk ? '1' : '0';
            }
            std::puts(row.c_str());
        }
        return EXIT_SUCCESS;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "picture_of_clicks: %s\n", error.what());
        return EXIT_FAILURE;
    }
}
