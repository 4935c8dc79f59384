// One step at a time, up to the first failure.
#include "Program.h"

#include "FatalError.h"

namespace quorrin {
namespace {

std::size_t Index(const Control& control) { return static_cast<std::size_t>(&control - kControls); }

}  // namespace

Program::Program(float logicalExtent)
    : ThePicture(kDrawingWidth, kDrawingHeight, logicalExtent, logicalExtent), Clicks(ThePicture, *this, Random)
{
    Rivers.Analyse(State().Field, logicalExtent, logicalExtent);
    Described = quorrin::Describe(State(), Rivers.Counts());
    for (const Control& control : kControls) {
        Captions[Index(control)] = control.Text;
    }
}

std::optional<std::string> Program::Start()
{
    return Run([this] { Clicks.OnWindowLoad(); });
}

std::optional<std::string> Program::Click(std::string_view button)
{
    const Control* control = FindControl(button);
    if (!control || !control->OnClick) {
        return Fail("there is no button " + std::string(button));
    }
    const Description before = Described;
    NewCaptions.clear();
    auto failure = Run([this, control] { (Clicks.*control->OnClick)(); });
    Announced = Announce(before, Described, NewCaptions);
    return failure;
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
    if (Clicks.FieldsBegun() != FieldsAnalysed) {
        FieldsAnalysed = Clicks.FieldsBegun();
        Rivers.Analyse(State().Field, ThePicture.LogicalWidth(), ThePicture.LogicalHeight());
    }
    Described = quorrin::Describe(State(), Rivers.Counts());
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

std::string Program::FailureReport() const
{
    return Ended() ? "Quorrin must end: " + *FirstFailure + "." : std::string();
}

const std::string& Program::Caption(std::string_view control) const
{
    const Control* named = FindControl(control);
    return named ? Captions[Index(*named)] : kNone;
}

void Program::SetCaption(const Control& button, std::string_view caption)
{
    if (Captions[Index(button)] != caption) {
        NewCaptions.emplace_back(caption);
    }
    Captions[Index(button)] = caption;
    if (ShowCaption) {
        ShowCaption(button.Name, Captions[Index(button)]);
    }
}

}  // namespace quorrin
