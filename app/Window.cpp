// The window's table as text.
#include "Window.h"

namespace quorrin {

std::string WindowLayoutText()
{
    const auto number = [](int value) { return std::to_string(value) + ' '; };
    std::string text = std::string(kTitle) + '\n' + number(Pixels(kClientArea.Width)) +
                       number(Pixels(kClientArea.Height)) + number(kDrawingWidth) + number(kDrawingHeight) +
                       std::to_string(kPictureFrame) + '\n';
    for (const auto& [name, kind, box, tab, caption] : kControls) {
        const char* const kinds[] = {"button", "picture", "label"};
        text += std::string(name) + ' ' + kinds[static_cast<int>(kind)] + ' ' + number(Pixels(box.Left)) +
                number(Pixels(box.Top)) + number(Pixels(box.Width)) + number(Pixels(box.Height)) + number(tab) +
                std::string(caption) + '\n';
    }
    return text;
}

}  // namespace quorrin
