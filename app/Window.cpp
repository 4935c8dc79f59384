// The window's table as text.
#include "Window.h"

namespace quorrin {

std::string WindowLayoutText()
{
    const auto number = [](int value) { return std::to_string(value) + ' '; };
    std::string text = std::string(kTitle) + '\n' + number(Pixels(kClientArea.Width)) +
                       number(Pixels(kClientArea.Height)) + number(kDrawingWidth) + number(kDrawingHeight) +
                       std::to_string(kPictureFrame) + '\n';
    for (const Control& control : kControls) {
        const char* const kinds[] = {"button", "picture", "label"};
        const TwipBox& box = control.Box;
        text += std::string(control.Name) + ' ' + kinds[static_cast<int>(control.Kind)] + ' ' +
                number(Pixels(box.Left)) + number(Pixels(box.Top)) + number(Pixels(box.Width)) +
                number(Pixels(box.Height)) + number(control.TabIndex) + std::string(control.Text) + '\n';
    }
    return text;
}

}  // namespace quorrin
