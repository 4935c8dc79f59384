// The click handlers as the program runs them: captions, the shared size counter, which view each
// click draws, and the first failure that ends the program.
#include <gtest/gtest.h>

#include <string>

#include "Drainage.h"
#include "Program.h"
#include "Streams.h"
#include "Window.h"

namespace quorrin {
namespace {

TEST(Handlers, EachClickCaptionsAndDrawsPerTheTable)
{
    const struct {
        const char* Click;
        const char* Captions[3];
        int CellSize, TapsMode;
        bool Streams;  // or else the drainage of the stored field
    } rows[] = {
        {"Command2", {"New random", "Show streams", "New random with taps"}, 1, 0, false},
        {"Command2", {"New random", "Show drainage", "New random with taps"}, 1, 0, true},
        {"Command1", {"random 48x48", "Show streams", "New random with taps"}, 2, 0, false},
        {"Command2", {"random 48x48", "Show drainage", "New random with taps"}, 2, 0, true},
        {"Command3", {"random 48x48", "Show drainage", "random with taps 24x24"}, 1, 1, false},
        {"Command2", {"random 48x48", "Show drainage", "random with taps 24x24"}, 1, 1, true},
        {"Command2", {"random 48x48", "Show streams", "random with taps 24x24"}, 1, 1, false},
        {"Command3", {"random 48x48", "Show streams", "random with taps 48x48"}, 2, 1, false},
        {"Command1", {"random 24x24", "Show streams", "random with taps 48x48"}, 1, 0, false},
    };
    Program program;
    int windowAreaClears = 0;
    program.Picture().SetWindowAreaClearer([&windowAreaClears] { ++windowAreaClears; });
    program.Start();
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(testing::Message() << "click " << i + 1);
        EXPECT_EQ(program.Click(rows[i].Click), std::nullopt);
        for (int b = 0; b < 3; ++b) EXPECT_EQ(program.Caption("Command" + std::to_string(b + 1)), rows[i].Captions[b]);
        EXPECT_EQ(std::pair(program.State().Field.CellSize, program.State().Field.TapsMode), std::pair(rows[i].CellSize, rows[i].TapsMode));
        EXPECT_EQ(windowAreaClears, static_cast<int>(i) + 1);
        // The picture holds the view of the stored field and nothing else.
        RetainedPicture fresh(kDrawingWidth, kDrawingHeight);
        FieldState field = program.State().Field;
        rows[i].Streams ? DrawStreams(field, fresh) : DrawDrainage(field, fresh);
        EXPECT_EQ(program.Picture().Strokes(), fresh.Strokes());
    }
}

// The first failure is handed back once; no step runs after it, a caption's included. A click on
// anything but a button is one too.
TEST(Program, FirstFailureEndsIt)
{
    Program beyond(60.0f);  // an extent whose cells leave the grid
    beyond.Start();
    EXPECT_EQ(beyond.Click("Command1"), "grid index 52 lies outside 0..50");
    EXPECT_EQ(beyond.Click("Command3"), std::nullopt);
    EXPECT_EQ(beyond.Fail("a paint failed"), std::nullopt);
    EXPECT_EQ(beyond.Failure(), "grid index 52 lies outside 0..50");
    EXPECT_EQ(beyond.Caption("Command3"), "New random with taps");
    // A label is no button; a name the window lacks is tried where the explorer's cursor ends.
    Program program;
    program.Start();
    EXPECT_EQ(program.Click("Label1"), "there is no button Label1");
    EXPECT_EQ(program.Click("Command1"), std::nullopt);
    EXPECT_EQ(program.State(), WindowState{});
}

}  // namespace
}  // namespace quorrin
