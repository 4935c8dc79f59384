// The river systems analysed once per field, and the explorer's cursor moving over them.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "Program.h"

namespace quorrin {
namespace {

// Cells 2..6 of a 5 x 5 field (extent 8), row by row. A tree of order 3 leaves east from
// column 5, row 3, its two order-2 branches meeting at column 2, row 3 with 5 cells each; a loop
// of four with one cell running in; and four cells leaving south.
RiverAnalysis HandMade()
{
    const char* rows = "ESWES" "NSENW" "EEEEE" "SNNES" "ENWES";
    FieldState field;
    for (int i = 0; i < 25; ++i) {
        const char d = rows[i];
        field.DirectionGrid.At(2 + i % 5, 2 + i / 5) =
            d == 'N' ? Direction::North : d == 'S' ? Direction::South : d == 'E' ? Direction::East : Direction::West;
    }
    RiverAnalysis rivers;
    rivers.Analyse(field, 8.0f, 8.0f);
    return rivers;
}

TEST(RiverAnalysis, ShapesOfAHandMadeField)
{
    const RiverAnalysis rivers = HandMade();
    std::vector<std::tuple<RiverEnd, int, int, int, int, int>> systems;
    for (const RiverSystem& s : rivers.Systems()) systems.emplace_back(s.Ends, s.Size, s.End, s.LoopLength, s.LongestStream, s.StrahlerOrder);
    EXPECT_EQ(systems, (decltype(systems){{RiverEnd::Leaves, 16, rivers.Cell(4, 2), 0, 8, 3},
                                          {RiverEnd::Loop, 5, rivers.Cell(3, 0), 4, 5, 1},
                                          {RiverEnd::Leaves, 4, rivers.Cell(4, 4), 0, 3, 2}}));
    EXPECT_EQ(rivers.Cells()[static_cast<std::size_t>(rivers.Cell(4, 1))].Drained, 5);
}

TEST(Explorer, MovesOnAHandMadeField)
{
    const RiverAnalysis rivers = HandMade();
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

// On generated fields with loops: the systems come in their order, the arrows reach every cell,
// and from each cell Downstream reaches End's cell in exactly the steps the analysis gives.
TEST(Explorer, FollowsTheStreamsOfGeneratedFields)
{
    Program program;
    program.Start();
    for (const char* click : {"Command3", "Command3", "Command1"}) {
        program.Click(click);
        RiverAnalysis rivers;
        rivers.Analyse(program.State().Field, RetainedPicture::kLogicalExtent, RetainedPicture::kLogicalExtent);
        const auto& systems = rivers.Systems();
        for (std::size_t i = 1; i < systems.size(); ++i) {
            ASSERT_LT(std::tuple(-systems[i - 1].Size, systems[i - 1].Ends, systems[i - 1].End),
                      std::tuple(-systems[i].Size, systems[i].Ends, systems[i].End));
        }
        Explorer walker(rivers);
        walker.Reset();
        walker.Press(ExploreKey::North);
        while (walker.Press(ExploreKey::West).find("West edge") == std::string::npos) {}
        while (walker.Press(ExploreKey::North).find("North edge") == std::string::npos) {}
        std::vector<bool> reached(rivers.Cells().size());
        for (int column = 0; column < rivers.Counts().Columns; ++column) {
            for (int row = 0; row < rivers.Counts().Rows; ++row) {
                const int cell = *walker.Cursor();
                reached[static_cast<std::size_t>(cell)] = true;
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
        EXPECT_EQ(std::count(reached.begin(), reached.end(), false), 0);
    }
}

// The first key after a new field sums its system up, a view toggle keeps the cursor and a new
// field forgets it; the cursor's ring covers the cell's borders.
TEST(Explorer, CursorLivesAsLongAsItsField)
{
    Program program;
    program.Start();
    program.Explore(ExploreKey::East);
    EXPECT_EQ(std::pair(program.Announcement(), program.CursorBox()), std::pair(std::string("There is no field to explore."), std::optional<PixelBox>()));
    program.Picture().SetScale(2.0);
    std::optional<PixelBox> before;
    for (const char* click : {"Command1", "Command2", "Command1"}) {
        const bool newField = click != std::string("Command2");
        program.Click(click);
        EXPECT_EQ(program.CursorBox(), newField ? std::nullopt : before);
        program.Explore(ExploreKey::End);
        const std::string first = program.Announcement();
        program.Explore(ExploreKey::End);
        EXPECT_EQ(first.find(", Strahler order ") != std::string::npos, newField) << first;
        EXPECT_EQ(program.Announcement().find(", Strahler order "), std::string::npos) << program.Announcement();
        before = program.CursorBox();
        const std::uint32_t* middle = program.Picture().Pixels() + (before->Top + before->Bottom) / 2 * program.Picture().PixelWidth();
        EXPECT_EQ(before->Ring, 4);
        EXPECT_TRUE(!newField || (middle[before->Left + 2] & middle[before->Right - 2]) == 0xff000000u) << before->Left;
    }
    program.Click("no such button");
    EXPECT_FALSE(program.Explore(ExploreKey::North));
}

}  // namespace
}  // namespace quorrin
