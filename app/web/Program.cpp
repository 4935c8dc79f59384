// The program behind the page, reached by the page's script through a few plain C functions.
// The script wires the controls to them and copies the picture's pixels to the canvas; it draws
// nothing itself.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <string>

#include "Program.h"

namespace {

quorrin::Program& TheProgram()
{
    static quorrin::Program program;
    return program;
}

// 0, or 1 once the program has ended with the failure that quorrin_failure_report reports.
int Status()
{
    return TheProgram().Ended() ? 1 : 0;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int quorrin_start()
{
    TheProgram().Start();
    return Status();
}

// A click on the button of that name, as the window's table names it.
EMSCRIPTEN_KEEPALIVE int quorrin_click(const char* button)
{
    TheProgram().Click(button);
    return Status();
}

// Device pixels per CSS pixel; the kept segments are rasterised again, no view runs.
EMSCRIPTEN_KEEPALIVE int quorrin_set_scale(double devicePixelRatio)
{
    TheProgram().Run([devicePixelRatio] { TheProgram().Picture().SetScale(devicePixelRatio); });
    return Status();
}

// The largest density the picture is rasterised at; a denser screen shows that raster scaled.
EMSCRIPTEN_KEEPALIVE double quorrin_largest_scale() { return quorrin::RetainedPicture::kLargestScale; }

// Colours as a canvas's ImageData holds them: bytes R, G, B, A, i.e. 0xAABBGGRR.
EMSCRIPTEN_KEEPALIVE int quorrin_set_colours(std::uint32_t background, std::uint32_t ink)
{
    TheProgram().Run([background, ink] { TheProgram().Picture().SetColours(background, ink); });
    return Status();
}

EMSCRIPTEN_KEEPALIVE const std::uint32_t* quorrin_pixels() { return TheProgram().Picture().Pixels(); }
EMSCRIPTEN_KEEPALIVE int quorrin_pixel_width() { return TheProgram().Picture().PixelWidth(); }
EMSCRIPTEN_KEEPALIVE int quorrin_pixel_height() { return TheProgram().Picture().PixelHeight(); }

EMSCRIPTEN_KEEPALIVE const char* quorrin_caption(const char* button) { return TheProgram().Caption(button).c_str(); }

// The failure that ended the program, as the sentence the page shows.
EMSCRIPTEN_KEEPALIVE const char* quorrin_failure_report()
{
    static std::string report;
    report = TheProgram().FailureReport();
    return report.c_str();
}

// The picture in words: its name, its description and what the last click changed, a line each.
EMSCRIPTEN_KEEPALIVE const char* quorrin_picture_words()
{
    static std::string words;
    const quorrin::Description description = TheProgram().Describe();
    words = description.Name + '\n' + description.Text + '\n' + TheProgram().Announcement();
    return words.c_str();
}

}  // extern "C"
