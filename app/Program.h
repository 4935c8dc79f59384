// The program behind every front end: the picture, the buttons' captions, the random source and
// the handlers, run one step at a time. The first failure ends it: it is handed back once, and no
// step runs after it.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Description.h"
#include "Explorer.h"
#include "Handlers.h"
#include "RandomSource.h"
#include "RetainedPicture.h"
#include "Window.h"

namespace quorrin {

// Device pixels of the picture's raster, both ends included, and the width of a ring drawn just
// inside them.
struct PixelBox {
    int Left, Top, Right, Bottom;
    int Ring;
    bool operator==(const PixelBox&) const = default;
};

class Program final : private ButtonCaptions {
public:
    // The picture's logical extent can be set for tests; the program uses the default.
    explicit Program(float logicalExtent = RetainedPicture::kLogicalExtent);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Called with the button's name and each caption a handler sets, before its view draws, so
    // that a front end shows it on the button there and then; it may throw FatalError.
    void ShowCaptionsWith(std::function<void(std::string_view, const std::string&)> show) { ShowCaption = std::move(show); }

    // Each runs one step and rasterises what it drew, up to a failure too, so that a front end
    // shows the picture before it reports. Returns the failure when this step ended the program;
    // once it has ended, runs nothing and returns nothing.
    std::optional<std::string> Start();
    // Runs the handler the window's table gives the button of that name; any other name is the
    // program's failure.
    std::optional<std::string> Click(std::string_view button);
    std::optional<std::string> Run(const std::function<void()>& step);
    // A failure met outside a step, such as a paint that could not rasterise, ends the program as
    // a step's does. Returns it when it is the first.
    std::optional<std::string> Fail(const std::string& message);

    bool Ended() const { return FirstFailure.has_value(); }
    // The failure that ended the program; empty while it runs.
    const std::string& Failure() const { return Ended() ? *FirstFailure : kNone; }
    // That failure as the sentence every front end shows its user; empty while it runs.
    std::string FailureReport() const;
    // A button's caption, the label's text; empty for the picture and for a name the window lacks.
    const std::string& Caption(std::string_view control) const;
    RetainedPicture& Picture() { return ThePicture; }
    const WindowState& State() const { return Clicks.State(); }
    // The picture in words, as the last step left it.
    const Description& Describe() const { return Described; }
    // What the last click changed, or the explorer's phrase after an explore key, in words for a
    // screen reader to say; empty before either.
    const std::string& Announcement() const { return Announced; }

    // Moves the explorer's cursor over the field the last step made and announces its phrase. A
    // new field forgets the cursor; a view toggle keeps it. Once the program has ended, does
    // nothing and returns false.
    bool Explore(ExploreKey key);
    // Where a front end draws the cursor, over the picture: the cell's box between its border
    // lines, grown by half the ring, so that a ring of 2 device-independent pixels (at least one
    // device pixel) drawn inside it covers the cell's borders and leaves its glyph clear. Absent
    // while the explorer has no cursor.
    std::optional<PixelBox> CursorBox() const;
    // The field's visited cells, columns by rows, and the cursor's cell among them, counted from 1
    // at the north-west cell (0 and 0 while there is no cursor): a page's grid of cells.
    std::array<int, 4> Grid() const;

private:
    void SetCaption(const Control& button, std::string_view caption) override;

    RetainedPicture ThePicture;
    // Each control's text, in the table's order.
    std::array<std::string, std::size(kControls)> Captions;
    std::function<void(std::string_view, const std::string&)> ShowCaption;
    SeededRandomSource Random;
    Handlers Clicks;
    std::optional<std::string> FirstFailure;
    // The river systems of the field the last step made, analysed once per field, and the
    // explorer that reads them.
    RiverAnalysis Rivers;
    Explorer TheExplorer{Rivers};
    int FieldsAnalysed = 0;
    Description Described;
    // The captions the running click changed, in the order it changed them, and what it announced.
    std::vector<std::string> NewCaptions;
    std::string Announced;
    // No failure, no text.
    inline static const std::string kNone;
};

}  // namespace quorrin
