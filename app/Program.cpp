// One step at a time, up to the first failure.
#include "Program.h"

#include "FatalError.h"
#include "Window.h"

namespace quorrin {

Program::Program(float logicalExtent)
    : ThePicture(kDrawingWidth, kDrawingHeight, logicalExtent, logicalExtent),
      Captions{std::string(ControlNamed("Command1").Text), std::string(ControlNamed("Command2").Text),
               std::string(ControlNamed("Command3").Text)},
      Clicks(ThePicture, *this, Random)
{
}

std::optional<std::string> Program::Start()
{
    return Run([this] { Clicks.OnWindowLoad(); });
}

std::optional<std::string> Program::Click(Button button)
{
    return Run([this, button] {
        switch (button) {
        case Button::Command1: Clicks.OnNewRandom(); break;
        case Button::Command2: Clicks.OnToggleView(); break;
        case Button::Command3: Clicks.OnNewRandomWithTaps(); break;
        }
    });
}

std::optional<std::string> Program::Run(const std::function<void()>& step)
{
    if (Ended()) {
        return std::nullopt;
    }
    std::optional<std::string> failure;
    try {
        step();
    } catch (const FatalError& error) {
        failure = error.what();
    }
    ThePicture.Render();
    return failure ? Fail(*failure) : std::nullopt;
}

std::optional<std::string> Program::Fail(const std::string& message)
{
    if (Ended()) {
        return std::nullopt;
    }
    FirstFailure = message;
    return FirstFailure;
}

void Program::SetCaption(Button button, std::string_view caption)
{
    Captions[static_cast<int>(button)] = caption;
    if (ShowCaption) {
        ShowCaption(button, Captions[static_cast<int>(button)]);
    }
}

}  // namespace quorrin
