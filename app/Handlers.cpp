// Click handlers: each changes the state, relabels a button, then draws one view.
#include "Handlers.h"

#include "Drainage.h"
#include "Streams.h"
#include "Window.h"

namespace quorrin {
namespace {

// The buttons the handlers caption.
constexpr const Control& Command1 = ControlNamed("Command1");
constexpr const Control& Command2 = ControlNamed("Command2");
constexpr const Control& Command3 = ControlNamed("Command3");

// Counts 0, 1, 0, 1, ...
int Advance(int toggle) { return toggle + 1 == 2 ? 0 : toggle + 1; }

}  // namespace

Handlers::Handlers(DrawingSurface& surface, ButtonCaptions& captions, RandomSource& random)
    : Surface(surface), Captions(captions), Random(random)
{
}

void Handlers::OnWindowLoad()
{
    ++Fields;
    Window.Field.CellSize = 1;
    Window.Field.TapsMode = 0;
}

void Handlers::OnNewRandom()
{
    Window.Field.TapsMode = 0;
    Generate(Command1, "random 48x48", "random 24x24");
    Captions.SetCaption(Command2, "Show streams");
}

void Handlers::OnNewRandomWithTaps()
{
    Window.Field.TapsMode = 1;
    Generate(Command3, "random with taps 48x48", "random with taps 24x24");
}

void Handlers::OnToggleView()
{
    Window.ViewToggle = Advance(Window.ViewToggle);
    if (Window.ViewToggle == 0) {
        Captions.SetCaption(Command2, "Show drainage");
        DrawStreams(Window.Field, Surface);
    } else {
        Captions.SetCaption(Command2, "Show streams");
        DrawDrainage(Window.Field, Surface);
    }
}

void Handlers::Generate(const Control& clicked, std::string_view coarseCaption,
                        std::string_view fineCaption)
{
    Window.SizeToggle = Advance(Window.SizeToggle);
    // The caption is set first, so it shows while the field is drawn.
    if (Window.SizeToggle == 1) {
        Captions.SetCaption(clicked, coarseCaption);
        Window.Field.CellSize = 2;
    } else {
        Captions.SetCaption(clicked, fineCaption);
        Window.Field.CellSize = 1;
    }
    ++Fields;
    GenerateDrainage(Window.Field, Surface, Random);
    Window.ViewToggle = 1;
}

}  // namespace quorrin
