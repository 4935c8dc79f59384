// Moves read off the analysis, and the phrase built in one string kept from key to key.
#include "Explorer.h"

#include <utility>

#include "Description.h"

namespace quorrin {
namespace {

const char* FlowOf(Direction d)
{
    switch (d) {
    case Direction::North: return "flows north";
    case Direction::South: return "flows south";
    case Direction::East: return "flows east";
    case Direction::West: return "flows west";
    case Direction::None: break;
    }
    return "has no direction";
}

}  // namespace

std::optional<ExploreKey> ExploreKeyFor(std::string_view key, bool shift, bool others)
{
    static constexpr std::pair<std::string_view, ExploreKey> kAlone[] = {
        {"ArrowUp", ExploreKey::North}, {"ArrowDown", ExploreKey::South},      {"ArrowLeft", ExploreKey::West},
        {"ArrowRight", ExploreKey::East}, {"PageDown", ExploreKey::Downstream}, {"PageUp", ExploreKey::Upstream},
        {"End", ExploreKey::End},       {"Home", ExploreKey::Source}};
    if (others) {
        return std::nullopt;
    }
    if (shift) {
        return key == "PageDown" ? std::optional(ExploreKey::NextSystem)
             : key == "PageUp"   ? std::optional(ExploreKey::PreviousSystem)
                                 : std::nullopt;
    }
    for (const auto& [name, move] : kAlone) {
        if (name == key) {
            return move;
        }
    }
    return std::nullopt;
}

void Explorer::Reset()
{
    At = -1;
    Mentioned.assign(Rivers.Systems().size(), false);
}

int Explorer::Uphill(int cell, int CellRiver::*measure) const
{
    int best = -1;
    for (const int tributary : Rivers.Tributaries(cell)) {
        // Only a loop's own cells lie no step from their end and still have a next cell.
        const CellRiver* river = tributary < 0 ? nullptr : &Rivers.Cells()[static_cast<std::size_t>(tributary)];
        if (river && river->Distance > 0 &&
            (best < 0 || river->*measure > Rivers.Cells()[static_cast<std::size_t>(best)].*measure)) {
            best = tributary;
        }
    }
    return best;
}

const std::string& Explorer::Press(ExploreKey key)
{
    const RiverSystems& counts = Rivers.Counts();
    if (counts.Ending == counts.Columns * counts.Rows) {
        At = -1;
        Phrase = "There is no field to explore.";
        return Phrase;
    }
    if (At < 0) {
        At = Rivers.Systems().front().End;
        Say(nullptr);
        return Phrase;
    }
    const CellRiver& here = Rivers.Cells()[static_cast<std::size_t>(At)];
    const int column = Rivers.Column(At);
    const int row = Rivers.Row(At);
    const int rows = counts.Rows;
    const int system = here.System;
    const int systems = static_cast<int>(Rivers.Systems().size());
    // Where the key leads, or -1 with what is said instead.
    int to = -1;
    const char* outcome = nullptr;
    const auto step = [&](bool inside, int next, const char* edge) {
        to = inside ? next : -1;
        outcome = edge;
    };
    switch (key) {
    case ExploreKey::North: step(row > 0, At - 1, "North edge."); break;
    case ExploreKey::South: step(row < rows - 1, At + 1, "South edge."); break;
    case ExploreKey::West: step(column > 0, At - rows, "West edge."); break;
    case ExploreKey::East: step(column < counts.Columns - 1, At + rows, "East edge."); break;
    case ExploreKey::Downstream:
        to = here.Next;
        outcome = here.Next == kLeaves ? "Outlet." : "Stream's end.";
        break;
    case ExploreKey::Upstream:
    case ExploreKey::Source:
        to = Uphill(At, key == ExploreKey::Upstream ? &CellRiver::Drained : &CellRiver::Longest);
        for (int up = to; key == ExploreKey::Source && up >= 0; up = Uphill(up, &CellRiver::Longest)) {
            to = up;
        }
        outcome = here.Distance == 0 && here.Next >= 0 ? "Only the loop runs in here." : "Source.";
        break;
    case ExploreKey::End: to = here.End; break;
    case ExploreKey::NextSystem:
        to = system + 1 < systems ? Rivers.Systems()[static_cast<std::size_t>(system + 1)].End : -1;
        outcome = "Last river system.";
        break;
    case ExploreKey::PreviousSystem:
        to = system > 0 ? Rivers.Systems()[static_cast<std::size_t>(system - 1)].End : -1;
        outcome = "First river system.";
        break;
    }
    if (to >= 0) {
        At = to;
        outcome = nullptr;
    }
    Say(outcome);
    return Phrase;
}

void Explorer::Say(const char* outcome)
{
    const CellRiver& river = Rivers.Cells()[static_cast<std::size_t>(At)];
    const RiverSystem& system = Rivers.Systems()[static_cast<std::size_t>(river.System)];
    // Appended piece by piece, so that the phrase's memory serves every key.
    std::string& said = Phrase;
    const auto count = [&said](int value, const char* one, const char* many) {
        said.append(Number(value)).append(value == 1 ? one : many);
    };
    said.clear();
    if (outcome) {
        said.append(outcome).append(" ");
    }
    said.append("Column ").append(Number(Rivers.Column(At) + 1)).append(", row ").append(Number(Rivers.Row(At) + 1));
    said.append(": ").append(FlowOf(river.Flow)).append("; ");
    if (system.Ends == RiverEnd::Loop && river.Distance == 0) {
        said.append("in a closed loop of ");
        count(system.LoopLength, " cell", " cells");
        if (system.Size == system.LoopLength) {
            said.append(" that nothing else drains into.");
        } else {
            said.append(" that ");
            count(system.Size - system.LoopLength, " more cell drains into.", " more cells drain into.");
        }
    } else {
        if (river.Drained == 1) {
            said.append("a source; ");
        } else {
            count(river.Drained, "", " cells drain through here; ");
        }
        switch (system.Ends) {
        case RiverEnd::Leaves:
            said.append("leaves across the ");
            said.append(EdgeName(EdgeOf(Rivers.Cells()[static_cast<std::size_t>(river.End)].Flow))).append(" edge ");
            break;
        case RiverEnd::Stops: said.append("stops "); break;
        case RiverEnd::Loop: said.append("joins a closed loop "); break;
        }
        if (river.Distance == 0) {
            said.append("here.");
        } else {
            count(river.Distance, " step on.", " steps on.");
        }
    }
    said.append(" River system ").append(Number(river.System + 1)).append(" of ");
    said.append(Number(static_cast<int>(Rivers.Systems().size())));
    if (!Mentioned[static_cast<std::size_t>(river.System)]) {
        Mentioned[static_cast<std::size_t>(river.System)] = true;
        said.append(": ");
        count(system.Size, " cell", " cells");
        said.append(", longest stream ");
        count(system.LongestStream, " cell", " cells");
        said.append(", Strahler order ").append(Number(system.StrahlerOrder));
    }
    said.append(".");
}

}  // namespace quorrin
