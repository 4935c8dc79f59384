// The program behind the page: the handlers and the picture, reached by the page's script through
// a few plain C functions. The script wires the controls to them and copies the picture's pixels
// to the canvas; it draws nothing itself.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "FatalError.h"
#include "Handlers.h"
#include "RandomSource.h"
#include "RetainedPicture.h"

namespace quorrin {
namespace {

// The drawing area of Picture1 inside its 2-pixel border, in CSS pixels.
constexpr int kAreaWidth = 455;
constexpr int kAreaHeight = 439;

// The captions live here; the page's script shows them after every click.
class Captions final : public ButtonCaptions {
public:
    void SetCaption(Button button, std::string_view caption) override
    {
        Texts[static_cast<int>(button)] = std::string(caption);
    }
    const std::string& Caption(int button) const { return Texts[button]; }

private:
    std::string Texts[3] = {"New random", "Show streams", "New random with taps"};
};

struct Program {
    RetainedPicture Picture{kAreaWidth, kAreaHeight};
    Captions Buttons;
    SeededRandomSource Random;
    Handlers Clicks{Picture, Buttons, Random};
    // Empty while the program runs; after the fatal error it names the failure, and the program
    // has ended.
    std::string Failure;

    // Runs one step and renders what it drew, up to a failure too; the first failure ends the
    // program and nothing runs after it.
    template <typename Step>
    int Run(Step step)
    {
        if (!Failure.empty()) {
            return 1;
        }
        Failure = RunAndRender(step, Picture).value_or("");
        return Failure.empty() ? 0 : 1;
    }
};

Program& TheProgram()
{
    static Program program;
    return program;
}

}  // namespace
}  // namespace quorrin

using quorrin::TheProgram;

// Each function that runs something returns 0, or 1 once the program has ended with the fatal
// error that quorrin_failure names.
extern "C" {

EMSCRIPTEN_KEEPALIVE int quorrin_start()
{
    return TheProgram().Run([] { TheProgram().Clicks.OnWindowLoad(); });
}

// 1, 2 and 3 are Command1, Command2 and Command3.
EMSCRIPTEN_KEEPALIVE int quorrin_click(int button)
{
    auto& program = TheProgram();
    return program.Run([&program, button] {
        switch (button) {
        case 1: program.Clicks.OnNewRandom(); break;
        case 2: program.Clicks.OnToggleView(); break;
        case 3: program.Clicks.OnNewRandomWithTaps(); break;
        default: throw quorrin::FatalError("there is no button " + std::to_string(button));
        }
    });
}

// Device pixels per CSS pixel; the kept segments are rasterised again, no view runs.
EMSCRIPTEN_KEEPALIVE int quorrin_set_scale(double devicePixelRatio)
{
    return TheProgram().Run([devicePixelRatio] { TheProgram().Picture.SetScale(devicePixelRatio); });
}

// Colours as a canvas's ImageData holds them: bytes R, G, B, A, i.e. 0xAABBGGRR.
EMSCRIPTEN_KEEPALIVE int quorrin_set_colours(std::uint32_t background, std::uint32_t ink)
{
    return TheProgram().Run([background, ink] { TheProgram().Picture.SetColours(background, ink); });
}

EMSCRIPTEN_KEEPALIVE const std::uint32_t* quorrin_pixels() { return TheProgram().Picture.Pixels(); }
EMSCRIPTEN_KEEPALIVE int quorrin_pixel_width() { return TheProgram().Picture.PixelWidth(); }
EMSCRIPTEN_KEEPALIVE int quorrin_pixel_height() { return TheProgram().Picture.PixelHeight(); }

EMSCRIPTEN_KEEPALIVE const char* quorrin_caption(int button)
{
    static const std::string none;
    return button >= 1 && button <= 3 ? TheProgram().Buttons.Caption(button - 1).c_str() : none.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* quorrin_failure() { return TheProgram().Failure.c_str(); }

}  // extern "C"
