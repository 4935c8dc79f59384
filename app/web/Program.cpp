// The program behind the page, reached by the page's script through a few plain C functions.
// The script wires the controls to them and copies the picture's pixels to the canvas; it draws
// nothing itself.
#include <emscripten/emscripten.h>

#include <array>
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

// A key pressed on the picture, by its name in the page's keyboard events, with or without Shift
// and other modifiers: 1 when it moved the explorer's cursor, 0 for any other key.
EMSCRIPTEN_KEEPALIVE int quorrin_explore(const char* key, int shift, int others)
{
    const auto move = quorrin::ExploreKeyFor(key, shift != 0, others != 0);
    return move && TheProgram().Explore(*move) ? 1 : 0;
}

// The explorer's cursor on the raster: left, top, right and bottom pixels and the ring's width; none
// before the first explore key of a field.
EMSCRIPTEN_KEEPALIVE const int* quorrin_cursor_box()
{
    static int box[5];
    const auto cursor = TheProgram().CursorBox();
    if (!cursor) {
        return nullptr;
    }
    box[0] = cursor->Left, box[1] = cursor->Top, box[2] = cursor->Right, box[3] = cursor->Bottom, box[4] = cursor->Ring;
    return box;
}

// The field's columns and rows, and the cursor's column and row from 1 (0 and 0 without one).
EMSCRIPTEN_KEEPALIVE const int* quorrin_grid()
{
    static std::array<int, 4> grid;
    grid = TheProgram().Grid();
    return grid.data();
}

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
