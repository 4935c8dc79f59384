// The main window as data, the way a form designer keeps a form: its title and client area, and
// each control's name, kind, box, tab index, starting text and click handler, in the order the
// window creates them. Every front end builds its window from this table.
#pragma once

#include <cstddef>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

#include "Handlers.h"

namespace quorrin {

enum class ControlKind { PushButton, Picture, Label };

// A box in twips (1/1440 inch) from the client area's top-left corner.
struct TwipBox {
    int Left, Top, Width, Height;
};

struct Control {
    std::string_view Name;
    ControlKind Kind;
    TwipBox Box;
    int TabIndex;
    // The caption a button starts with, or the label's text; none for the picture.
    std::string_view Text;
    // What a click on the button runs; none for the picture and the label.
    void (Handlers::*OnClick)();
};

inline constexpr std::string_view kTitle = "Random discharge directions causing river systems Arvelt";
inline constexpr TwipBox kClientArea{0, 0, 7875, 8250};
inline constexpr Control kControls[] = {
    {"Command3", ControlKind::PushButton, {5040, 7560, 2175, 375}, 3, "New random with taps", &Handlers::OnNewRandomWithTaps},
    {"Command2", ControlKind::PushButton, {2880, 7560, 1815, 375}, 2, "Show streams", &Handlers::OnToggleView},
    {"Command1", ControlKind::PushButton, {360, 7560, 2175, 375}, 1, "New random", &Handlers::OnNewRandom},
    {"Picture1", ControlKind::Picture, {360, 360, 6891, 6641}, 0, "", nullptr},
    {"Label1", ControlKind::Label, {2520, 7200, 2535, 375}, 4, "Save on clipboard by Alt+PrtSc", nullptr},
};
// The picture's sunken frame, in pixels at 96 dpi on each side; the drawing area lies inside it.
inline constexpr int kPictureFrame = 2;

// Twips as pixels at a screen density (dots per inch), to the nearest pixel; 15 twips are one
// pixel at 96 dpi.
constexpr int Pixels(int twips, double dpi = 96.0)
{
    const double pixels = twips * dpi / 1440.0;
    return static_cast<int>(pixels < 0 ? pixels - 0.5 : pixels + 0.5);
}

// The place in the table of the control of that name, or the table's size when it has none.
constexpr std::size_t ControlIndex(std::string_view name)
{
    std::size_t index = 0;
    while (index < std::size(kControls) && kControls[index].Name != name) {
        ++index;
    }
    return index;
}

// The control of that name, or none.
constexpr const Control* FindControl(std::string_view name)
{
    const std::size_t index = ControlIndex(name);
    return index < std::size(kControls) ? &kControls[index] : nullptr;
}

constexpr const Control& ControlNamed(std::string_view name)
{
    const std::size_t index = ControlIndex(name);
    if (index == std::size(kControls)) {
        throw std::invalid_argument("the window has no control of that name");
    }
    return kControls[index];
}

// The drawing area inside the picture's frame, in pixels at 96 dpi.
inline constexpr int kDrawingWidth = Pixels(ControlNamed("Picture1").Box.Width) - 2 * kPictureFrame;
inline constexpr int kDrawingHeight = Pixels(ControlNamed("Picture1").Box.Height) - 2 * kPictureFrame;

// The table as text, for the page's assembler and the tests: the title; the client area, the
// drawing area and the picture's frame; then a line for each control in creation order: name,
// kind (button, picture or label), box, tab index and text. Sizes are pixels at 96 dpi.
std::string WindowLayoutText();

}  // namespace quorrin
