// The click handlers: captions, the shared size counter, and which view each click draws.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Handlers.h"
#include "RecordingSurface.h"

namespace quorrin {
namespace {

using test::Op;
using test::RecordingSurface;

// Logs each caption with the number of drawing calls made before it.
class RecordingCaptions final : public ButtonCaptions {
public:
    explicit RecordingCaptions(const RecordingSurface& surface) : Surface(surface) {}
    void SetCaption(Button button, std::string_view caption) override
    {
        Log.push_back({button, std::string(caption), Surface.Calls.size()});
    }

    struct Entry {
        Button Target;
        std::string Caption;
        std::size_t CallsBefore;
        bool operator==(const Entry&) const = default;
    };
    const RecordingSurface& Surface;
    std::vector<Entry> Log;
};

class HandlersTest : public ::testing::Test {
protected:
    HandlersTest() { App.OnWindowLoad(); }

    // The captions set by one click, and whether the click drew the stream view.
    std::vector<RecordingCaptions::Entry> Click(void (Handlers::*handler)())
    {
        Surface.Calls.clear();
        Captions.Log.clear();
        (App.*handler)();
        return Captions.Log;
    }
    bool DrewStreams() const { return Surface.Calls.front().Operation == Op::ClearPicture; }

    RecordingSurface Surface;
    RecordingCaptions Captions{Surface};
    SeededRandomSource Random;
    Handlers App{Surface, Captions, Random};
};

using Entry = RecordingCaptions::Entry;

TEST_F(HandlersTest, GenerateButtonsShareOneSizeCounter)
{
    const auto c1 = &Handlers::OnNewRandom;
    const auto c3 = &Handlers::OnNewRandomWithTaps;
    struct Step {
        void (Handlers::*Handler)();
        std::vector<Entry> Captions;
        int CellSize, TapsMode;
    };
    const Step steps[] = {
        {c1, {{Button::Command1, "random 48x48", 0}, {Button::Command2, "Show streams", 0}}, 2, 0},
        {c3, {{Button::Command3, "random with taps 24x24", 0}}, 1, 1},
        {c3, {{Button::Command3, "random with taps 48x48", 0}}, 2, 1},
        {c1, {{Button::Command1, "random 24x24", 0}, {Button::Command2, "Show streams", 0}}, 1, 0},
    };
    for (const Step& step : steps) {
        const std::vector<Entry> log = Click(step.Handler);
        ASSERT_EQ(log.size(), step.Captions.size());
        for (std::size_t i = 0; i < log.size(); ++i) {
            EXPECT_EQ(log[i].Target, step.Captions[i].Target);
            EXPECT_EQ(log[i].Caption, step.Captions[i].Caption);
        }
        // The clicked button is captioned before the field is drawn, Command2 after.
        EXPECT_EQ(log.front().CallsBefore, 0u);
        EXPECT_EQ(log.back().CallsBefore, log.size() == 2 ? Surface.Calls.size() : 0u);
        EXPECT_EQ(App.State().Field.CellSize, step.CellSize);
        EXPECT_EQ(App.State().Field.TapsMode, step.TapsMode);
        EXPECT_EQ(App.State().ViewToggle, 1);
    }
}

TEST_F(HandlersTest, ToggleAlternatesStreamsAndDrainageOfTheSameField)
{
    Click(&Handlers::OnNewRandom);
    const std::vector<test::Call> generated = Surface.Calls;

    EXPECT_EQ(Click(&Handlers::OnToggleView), (std::vector<Entry>{{Button::Command2, "Show drainage", 0}}));
    EXPECT_TRUE(DrewStreams());
    EXPECT_EQ(Click(&Handlers::OnToggleView), (std::vector<Entry>{{Button::Command2, "Show streams", 0}}));
    EXPECT_EQ(Surface.Calls, generated);
    EXPECT_EQ(App.State().Field.TapsMode, 0);
    EXPECT_EQ(App.State().SizeToggle, 1);
}

TEST_F(HandlersTest, TapsButtonLeavesTheViewCaptionAlone)
{
    Click(&Handlers::OnNewRandom);
    Click(&Handlers::OnToggleView);  // Command2 now reads "Show drainage"
    EXPECT_TRUE(Click(&Handlers::OnNewRandomWithTaps).front().Target == Button::Command3);
    EXPECT_EQ(Captions.Log.size(), 1u);
    // The next click shows the streams again and keeps the caption "Show drainage".
    EXPECT_EQ(Click(&Handlers::OnToggleView), (std::vector<Entry>{{Button::Command2, "Show drainage", 0}}));
    EXPECT_TRUE(DrewStreams());
}

TEST_F(HandlersTest, FirstTogglesBeforeAnyGenerationDrawTheEmptyField)
{
    EXPECT_EQ(Click(&Handlers::OnToggleView), (std::vector<Entry>{{Button::Command2, "Show streams", 0}}));
    EXPECT_FALSE(DrewStreams());
    EXPECT_EQ(Surface.Count(Op::DrawLine), 2u + 48u + 48u * 48u);  // the fine grid's frame and borders
    EXPECT_EQ(Surface.Count(Op::DrawLineBy), 0u);

    EXPECT_EQ(Click(&Handlers::OnToggleView), (std::vector<Entry>{{Button::Command2, "Show drainage", 0}}));
    EXPECT_TRUE(DrewStreams());
    EXPECT_EQ(Surface.Count(Op::DrawLine), 0u);
    Grid<int> ones;
    ones.Fill(1);
    EXPECT_EQ(App.State().Field.FlowGrid, ones);
}

}  // namespace
}  // namespace quorrin
