// The picture in words: the river systems counted on small fields with known answers, and the
// counts adding up on generated ones.
#include <gtest/gtest.h>

#include <numeric>

#include "Description.h"
#include "Program.h"
#include "RiverSystems.h"

namespace quorrin {
namespace {

// A 3 x 3 field (extent 6, cell size 1: cells 2..4), its directions given row by row as N, S, E, W.
FieldState Field(const char* rows)
{
    FieldState field;
    for (int i = 0; i < 9; ++i) {
        const char d = rows[i];
        field.DirectionGrid.At(2 + i % 3, 2 + i / 3) =
            d == 'N' ? Direction::North : d == 'S' ? Direction::South : d == 'E' ? Direction::East : Direction::West;
    }
    return field;
}

TEST(RiverSystems, CountedOnFieldsWithKnownAnswers)
{
    const struct {
        const char* Name;
        const char* Rows;
        std::array<int, 4> Leaving;  // north, west, east, south
        int Largest, InLoops;
    } cases[] = {
        {"one stream gathering all", "SSS" "SSS" "EEE", {0, 0, 1, 0}, 9, 0},
        {"two cells draining into each other", "SSS" "SSS" "EEN", {0, 0, 0, 0}, 0, 9},
        {"a loop of four with tributaries, and one cell that leaves", "ESW" "NWW" "SNN", {0, 0, 0, 1}, 1, 8},
        {"a loop of six", "EES" "NWW" "NNN", {0, 0, 0, 0}, 0, 9},
        {"every edge", "NNE" "WNE" "SSS", {2, 1, 2, 3}, 2, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const RiverSystems systems = CountRiverSystems(Field(c.Rows), 6.0f, 6.0f);
        EXPECT_EQ(systems.Leaving, c.Leaving);
        EXPECT_EQ(std::pair(systems.Largest, systems.InLoops), std::pair(c.Largest, c.InLoops));
    }
}

// Over many generated fields, with and without taps, fine and coarse, every cell drains out
// through one river system or into a loop, and the largest system is at least their average.
TEST(RiverSystems, AddUpOnGeneratedFields)
{
    Program program;
    program.Start();
    for (int click = 0; click < 200; ++click) {
        program.Click(click % 3 == 2 ? "Command3" : "Command1");
        const RiverSystems systems = CountRiverSystems(program.State().Field, 51.0f, 51.0f);
        const int cells = systems.Columns * systems.Rows;
        const int leaving = std::accumulate(systems.Leaving.begin(), systems.Leaving.end(), 0);
        ASSERT_EQ(systems.Draining + systems.InLoops + systems.Ending, cells) << "click " << click;
        ASSERT_EQ(systems.Ending, 0) << "click " << click;
        ASSERT_LE(leaving, systems.Draining) << "click " << click;
        ASSERT_LE(systems.Largest, systems.Draining - leaving + 1) << "click " << click;
        ASSERT_GE(systems.Largest * leaving, systems.Draining) << "click " << click;
    }
}

TEST(Description, NamesTheViewAndSaysWhereTheRiversGo)
{
    WindowState state;
    state.Field = Field("NNE" "WNE" "SSS");
    state.ViewToggle = 0;
    EXPECT_EQ(Describe(state, CountRiverSystems(state.Field, 6.0f, 6.0f)),
              (Description{"Streams of a 3 by 3 field", "8 river systems leave the field: 3 across the south edge, 2 north, "
                                                        "2 east, 1 west. The largest drains 2 of the 9 cells. No cell "
                                                        "drains into a closed loop."}));
    state.Field = Field("EES" "NWW" "NNN");
    state.ViewToggle = 1;
    EXPECT_EQ(Describe(state, CountRiverSystems(state.Field, 6.0f, 6.0f)),
              (Description{"Drainage of a 3 by 3 field", "No river system leaves the field. 9 cells drain into a closed loop."}));
    EXPECT_EQ(Describe(WindowState{}, CountRiverSystems(FieldState{}, 51.0f, 51.0f)).Name, "Empty picture");
    Program program;
    program.Start();
    program.Click("Command3");
    program.Click("Command3");
    EXPECT_EQ(program.Describe().Name, "Drainage of a 48 by 48 field");
    EXPECT_NE(program.Describe().Text.find(" of the 2,304 cells."), std::string::npos) << program.Describe().Text;
    // A click is announced by the new name, the text where it changed, and each new caption.
    EXPECT_EQ(program.Announcement(), "Drainage of a 48 by 48 field. " + program.Describe().Text +
                                          " The button now reads random with taps 24x24.");
    program.Click("Command2");
    EXPECT_EQ(program.Announcement(), "Streams of a 48 by 48 field. The button now reads Show drainage.");
    program.Click("Command1");
    EXPECT_EQ(program.Announcement().substr(0, 31), "Drainage of a 22 by 22 field. 2");
    EXPECT_TRUE(program.Announcement().ends_with(" The buttons now read random 48x48 and Show streams."));
}

}  // namespace
}  // namespace quorrin
