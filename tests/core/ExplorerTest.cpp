// The river systems analysed once per field.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "RiverSystems.h"

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

}  // namespace
}  // namespace quorrin
