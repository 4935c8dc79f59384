// The click handlers: captions, the shared size counter, and which view each click draws.
#include <gtest/gtest.h>

#include <string>

#include "Drainage.h"
#include "Handlers.h"
#include "PictureOfClicks.h"
#include "RetainedPicture.h"
#include "Streams.h"

namespace quorrin {
namespace {

TEST(Handlers, EachClickCaptionsAndDrawsPerTheTable)
{
    const struct {
        void (Handlers::*Click)();
        const char* Captions[3];
        int CellSize, TapsMode;
        bool Streams;  // or else the drainage of the stored field
    } rows[] = {
        {&Handlers::OnToggleView, {"New random", "Show streams", "New random with taps"}, 1, 0, false},
        {&Handlers::OnToggleView, {"New random", "Show drainage", "New random with taps"}, 1, 0, true},
        {&Handlers::OnNewRandom, {"random 48x48", "Show streams", "New random with taps"}, 2, 0, false},
        {&Handlers::OnToggleView, {"random 48x48", "Show drainage", "New random with taps"}, 2, 0, true},
        {&Handlers::OnNewRandomWithTaps, {"random 48x48", "Show drainage", "random with taps 24x24"}, 1, 1, false},
        {&Handlers::OnToggleView, {"random 48x48", "Show drainage", "random with taps 24x24"}, 1, 1, true},
        {&Handlers::OnToggleView, {"random 48x48", "Show streams", "random with taps 24x24"}, 1, 1, false},
        {&Handlers::OnNewRandomWithTaps, {"random 48x48", "Show streams", "random with taps 48x48"}, 2, 1, false},
        {&Handlers::OnNewRandom, {"random 24x24", "Show streams", "random with taps 48x48"}, 1, 0, false},
    };
    RetainedPicture picture(455, 439);
    int windowAreaClears = 0;
    picture.SetWindowAreaClearer([&windowAreaClears] { ++windowAreaClears; });
    test::RecordedCaptions captions;
    SeededRandomSource random;
    Handlers handlers(picture, captions, random);
    handlers.OnWindowLoad();
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(testing::Message() << "click " << i + 1);
        (handlers.*rows[i].Click)();
        for (int b = 0; b < 3; ++b) EXPECT_EQ(captions.Text[b], rows[i].Captions[b]);
        EXPECT_EQ(handlers.State().Field.CellSize, rows[i].CellSize);
        EXPECT_EQ(handlers.State().Field.TapsMode, rows[i].TapsMode);
        EXPECT_EQ(windowAreaClears, static_cast<int>(i) + 1);
        // The picture holds the view of the stored field and nothing else.
        RetainedPicture fresh(455, 439);
        FieldState field = handlers.State().Field;
        rows[i].Streams ? DrawStreams(field, fresh) : DrawDrainage(field, fresh);
        EXPECT_EQ(picture.Strokes(), fresh.Strokes());
    }
}

}  // namespace
}  // namespace quorrin
