// The river systems analysed once per field, the picture in words, and the explorer's cursor
// moving over them.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string_view>
#include <tuple>
#include <vector>

#include "Program.h"

namespace quorrin {
namespace {

// A square field of `columns` visited cells a side, its directions given row by row as N, S, E, W
// (the order of Direction's values after None), analysed on the extent that visits just them.
RiverAnalysis Rivers(const char* rows, int columns)
{
    FieldState field;
    for (int i = 0; i < columns * columns; ++i) {
        field.DirectionGrid.At(2 + i % columns, 2 + i / columns) = static_cast<Direction>(1 + std::string_view("NSEW").find(rows[i]));
    }
    RiverAnalysis rivers;
    rivers.Analyse(field, static_cast<float>(columns + 3), static_cast<float>(columns + 3));
    return rivers;
}

// A tree of order 3 leaves east from column 5, row 3, its two order-2 branches meeting at column
// 2, row 3 with 5 cells each; a loop of four with one cell running in; and four cells leaving south.
// Its river systems' shapes and counts, and the explorer's moves over them.
TEST(RiverAnalysis, ShapesOfAHandMadeFieldAndMovesOverIt)
{
    const RiverAnalysis rivers = Rivers("ESWES" "NSENW" "EEEEE" "SNNES" "ENWES", 5);
    std::vector<std::tuple<RiverEnd, int, int, int, int, int>> systems;
    for (const RiverSystem& s : rivers.Systems()) systems.emplace_back(s.Ends, s.Size, s.End, s.LoopLength, s.LongestStream, s.StrahlerOrder);
    EXPECT_EQ(systems, (decltype(systems){{RiverEnd::Leaves, 16, rivers.Cell(4, 2), 0, 8, 3},
                                          {RiverEnd::Loop, 5, rivers.Cell(3, 0), 4, 5, 1},
                                          {RiverEnd::Leaves, 4, rivers.Cell(4, 4), 0, 3, 2}}));
    EXPECT_EQ(rivers.Cells()[static_cast<std::size_t>(rivers.Cell(4, 1))].Drained, 5);
    const RiverSystems& c = rivers.Counts();
    EXPECT_EQ(std::tuple(c.Leaving, c.Draining, c.Largest, c.Loops, c.InLoops, c.Ending),
              std::tuple(std::array{0, 0, 1, 1}, 20, 16, 1, 5, 0));

    Explorer explorer(rivers);
    explorer.Reset();
    const std::pair<ExploreKey, const char*> moves[] = {
        {ExploreKey::North, "Column 5, row 3: flows east; 16 cells drain through here; leaves across the east edge here. "
                            "River system 1 of 3: 16 cells, longest stream 8 cells, Strahler order 3."},
        {ExploreKey::Source, "Column 1, row 2: flows north; a source; leaves across the east edge 7 steps on. River system 1 of 3."},
        {ExploreKey::Upstream, "Source. Column 1, row 2: flows north; a source; leaves across the east edge 7 steps on. River system 1 of 3."},
        {ExploreKey::South, "Column 1, row 3: flows east; a source; leaves across the east edge 4 steps on. River system 1 of 3."},
        {ExploreKey::East, "Column 2, row 3: flows east; 12 cells drain through here; leaves across the east edge 3 steps on. River system 1 of 3."},
        {ExploreKey::Upstream, "Column 2, row 2: flows south; 5 cells drain through here; leaves across the east edge 4 steps on. River system 1 of 3."},
        {ExploreKey::NextSystem, "Column 4, row 1: flows east; in a closed loop of 4 cells that 1 more cell drains into. "
                                 "River system 2 of 3: 5 cells, longest stream 5 cells, Strahler order 1."},
        {ExploreKey::Upstream, "Only the loop runs in here. Column 4, row 1: flows east; in a closed loop of 4 cells that 1 more cell drains into. River system 2 of 3."},
        {ExploreKey::PreviousSystem, "Column 5, row 3: flows east; 16 cells drain through here; leaves across the east edge here. River system 1 of 3."},
        {ExploreKey::Downstream, "Outlet. Column 5, row 3: flows east; 16 cells drain through here; leaves across the east edge here. River system 1 of 3."},
        {ExploreKey::PreviousSystem, "First river system. Column 5, row 3: flows east; 16 cells drain through here; leaves across the east edge here. River system 1 of 3."},
    };
    for (const auto& [key, said] : moves) EXPECT_EQ(explorer.Press(key), said);
}

TEST(Description, NamesTheViewAndSaysWhereTheRiversGo)
{
    WindowState state;
    EXPECT_EQ(Describe(state, Rivers("NNE" "WNE" "SSS", 3).Counts()),
              (Description{"Streams of a 3 by 3 field", "8 river systems leave the field: 3 across the south edge, 2 north, "
                                                        "2 east, 1 west. The largest drains 2 of the 9 cells. No cell "
                                                        "drains into a closed loop."}));
    state.ViewToggle = 1;
    EXPECT_EQ(Describe(state, Rivers("EES" "NWW" "NNN", 3).Counts()),
              (Description{"Drainage of a 3 by 3 field", "No river system leaves the field. 9 cells drain into a closed loop."}));
    Program program;
    program.Start();
    program.Click("Command3");
    program.Click("Command3");
    const std::string& text = program.Describe().Text;
    EXPECT_TRUE(text.find(" of the 2,304 cells. ") != std::string::npos && text.ends_with(" closed loops.")) << text;
    // A click is announced by the new name, the text where it changed, and each new caption.
    EXPECT_EQ(program.Announcement(), "Drainage of a 48 by 48 field. " + text +
                                          " The button now reads random with taps 24x24.");
    program.Click("Command2");
    EXPECT_EQ(program.Announcement(), "Streams of a 48 by 48 field. The button now reads Show drainage.");
    program.Click("Command1");
    EXPECT_EQ(program.Announcement().substr(0, 31), "Drainage of a 22 by 22 field. 2");
    EXPECT_TRUE(program.Announcement().ends_with(" The buttons now read random 48x48 and Show streams."));
}
// On many generated fields, with and without taps, fine and coarse: every cell drains out through
// one river system or into a loop, the largest system is at least their average, the systems come
// in their order, the arrows reach every cell, and from each cell Downstream reaches End's cell in
// exactly the steps the analysis gives.
TEST(Explorer, FollowsTheStreamsOfGeneratedFields)
{
    Program program;
    program.Start();
    for (int click = 0; click < 200; ++click) {
        SCOPED_TRACE(testing::Message() << "click " << click);
        program.Click(click % 3 == 2 ? "Command3" : "Command1");
        RiverAnalysis rivers;
        rivers.Analyse(program.State().Field, RetainedPicture::kLogicalExtent, RetainedPicture::kLogicalExtent);
        const RiverSystems& counts = rivers.Counts();
        const int leaving = std::accumulate(counts.Leaving.begin(), counts.Leaving.end(), 0);
        const auto& systems = rivers.Systems();
        const auto loops = std::count_if(systems.begin(), systems.end(), [](const RiverSystem& s) { return s.Ends == RiverEnd::Loop; });
        ASSERT_EQ(std::tuple(counts.Draining + counts.InLoops, counts.Ending, counts.Loops),
                  std::tuple(counts.Columns * counts.Rows, 0, static_cast<int>(loops)));
        ASSERT_LE(counts.Largest, counts.Draining - leaving + 1);
        ASSERT_GE(counts.Largest * leaving, counts.Draining);
        // Largest first; among equals by how they end, then by their end cell.
        ASSERT_TRUE(std::is_sorted(systems.begin(), systems.end(), [](const RiverSystem& a, const RiverSystem& b) {
            return std::tuple(-a.Size, a.Ends, a.End) < std::tuple(-b.Size, b.Ends, b.End);
        }));
        Explorer walker(rivers);
        walker.Reset();
        walker.Press(ExploreKey::North);
        while (walker.Press(ExploreKey::West).find("West edge") == std::string::npos) {}
        while (walker.Press(ExploreKey::North).find("North edge") == std::string::npos) {}
        for (int column = 0; column < counts.Columns; ++column) {
            for (int row = 0; row < counts.Rows; ++row) {
                const int cell = *walker.Cursor();
                ASSERT_EQ(cell, rivers.Cell(column, column % 2 == 0 ? row : counts.Rows - 1 - row));
                Explorer down = walker;
                Explorer end = walker;
                end.Press(ExploreKey::End);
                for (int step = 0; step < rivers.Cells()[static_cast<std::size_t>(cell)].Distance; ++step) {
                    ASSERT_NE(down.Cursor(), end.Cursor()) << "cell " << cell << " step " << step;
                    down.Press(ExploreKey::Downstream);
                }
                ASSERT_EQ(down.Cursor(), end.Cursor()) << "cell " << cell;
                walker.Press(column % 2 == 0 ? ExploreKey::South : ExploreKey::North);
            }
            walker.Press(ExploreKey::East);
        }
    }
}

// Before a field there is nothing to explore or describe. The first key after a new field sums
// its system up, a view toggle keeps the cursor and a new field forgets it; the cursor's ring
// covers the cell's borders.
TEST(Explorer, CursorLivesAsLongAsItsField)
{
    Program program;
    program.Start();
    program.Explore(ExploreKey::East);
    EXPECT_EQ(std::tuple(program.Announcement(), program.CursorBox(), program.Describe().Name),
              std::tuple("There is no field to explore.", std::optional<PixelBox>(), "Empty picture"));
    program.Picture().SetScale(2.0);
    std::optional<PixelBox> before;
    for (const char* click : {"Command1", "Command2", "Command1"}) {
        const bool newField = click != std::string("Command2");
        program.Click(click);
        EXPECT_EQ(program.CursorBox(), newField ? std::nullopt : before);
        program.Explore(ExploreKey::End);
        EXPECT_EQ(program.Announcement().find(", Strahler order ") != std::string::npos, newField) << program.Announcement();
        before = program.CursorBox();
        const std::uint32_t* middle = program.Picture().Pixels() + (before->Top + before->Bottom) / 2 * program.Picture().PixelWidth();
        EXPECT_EQ(before->Ring, 4);
        EXPECT_TRUE(!newField || (middle[before->Left + 2] & middle[before->Right - 2]) == 0xff000000u) << before->Left;
    }
    EXPECT_EQ(program.Click("Command4"), "there is no button Command4");
    EXPECT_FALSE(program.Explore(ExploreKey::North));
}

}  // namespace
}  // namespace quorrin
