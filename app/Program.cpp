// One step at a time, up to the first failure.
#include "Program.h"

#include <algorithm>
#include <cmath>

#include "FatalError.h"

namespace quorrin {
namespace {

std::size_t Index(const Control& control) { return static_cast<std::size_t>(&control - kControls); }

}  // namespace

Program::Program(float logicalExtent)
    : ThePicture(kDrawingWidth, kDrawingHeight, logicalExtent, logicalExtent), Clicks(ThePicture, *this, Random)
{
    Rivers.Analyse(State().Field, logicalExtent, logicalExtent);
    TheExplorer.Reset();
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
        TheExplorer.Reset();
    }
    Described = quorrin::Describe(State(), Rivers.Counts());
    return failure ? Fail(*failure) : std::nullopt;
}

bool Program::Explore(ExploreKey key)
{
    if (Ended()) {
        return false;
    }
    Announced = TheExplorer.Press(key);
    return true;
}

std::optional<PixelBox> Program::CursorBox() const
{
    const std::optional<int> cell = TheExplorer.Cursor();
    if (!cell) {
        return std::nullopt;
    }
    const auto [x, y] = Rivers.Centre(*cell);
    const float half = 0.5f * static_cast<float>(State().Field.CellSize);
    const auto fx = static_cast<float>(x);
    const auto fy = static_cast<float>(y);
    // The cell's diagonal lands on the pixels of its border lines.
    PixelLine borders{};
    if (!ThePicture.Map({fx - half, fy - half, fx + half, fy + half, 1}, borders)) {
        return std::nullopt;
    }
    const int ring = std::max(1, static_cast<int>(std::lround(2.0 * ThePicture.PixelWidth() / kDrawingWidth)));
    const int out = ring / 2;
    return PixelBox{std::max(borders.X1 - out, 0), std::max(borders.Y1 - out, 0),
                    std::min(borders.X2 + out, ThePicture.PixelWidth() - 1),
                    std::min(borders.Y2 + out, ThePicture.PixelHeight() - 1), ring};
}

std::array<int, 4> Program::Grid() const
{
    const std::optional<int> cell = TheExplorer.Cursor();
    return {Rivers.Counts().Columns, Rivers.Counts().Rows, cell ? Rivers.Column(*cell) + 1 : 0,
            cell ? Rivers.Row(*cell) + 1 : 0};
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
