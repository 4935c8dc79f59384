// A cursor over the visited cells that keys move along the field's streams, each move said in
// one short phrase for a screen reader.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "RiverSystems.h"

namespace quorrin {

enum class ExploreKey {
    // One cell; at the edge the cursor stays.
    North,
    South,
    West,
    East,
    // To where this cell's water goes next; round and round in a loop.
    Downstream,
    // Into the stream that runs in here and drains the most; among equals north, west, east,
    // south. A loop's own cells are not streams that run into it.
    Upstream,
    // To where this cell's water ends: its outlet, the cell without a direction it stops at, or
    // the cell where it enters its loop.
    End,
    // Up to the source farthest from here: each step takes the stream that runs in with the
    // longest stream behind it, among equals north, west, east, south, as Upstream does.
    Source,
    // To the End cell of the next or the previous river system by size; at the last or first the
    // cursor stays.
    NextSystem,
    PreviousSystem,
};

// The move a key makes on the picture, the same on every platform: a key by its name in a web
// page's keyboard events ("ArrowUp", "PageDown", "Home", ...), and whether Shift, or any of Ctrl,
// Alt and Meta, was held. The arrows, Home and End go alone; Page Down and Page Up alone move along
// the streams, with Shift from river system to river system (browsers keep Ctrl with them for
// their tabs). None for any other key.
std::optional<ExploreKey> ExploreKeyFor(std::string_view key, bool shift, bool others);

// Reads an analysis that the owner keeps and refreshes; Reset after each refresh.
class Explorer {
public:
    explicit Explorer(const RiverAnalysis& rivers) : Rivers(rivers) {}

    // A new field: no cursor, and no river system mentioned yet.
    void Reset();
    // The first key after Reset shows the cursor at the End cell of the largest river system
    // without moving; later keys move it. Returns what is said: the move's outcome where it is not
    // plain ("North edge."), then the cell, for example "Column 30, row 12: flows east; 14 cells
    // drain through here; leaves across the south edge 23 steps on. River system 3 of 59." A
    // system's first mention since Reset adds its size, longest stream and Strahler order. The
    // phrase lives until the next call.
    const std::string& Press(ExploreKey key);
    // The cell under the cursor, numbered as the analysis numbers them; absent before the first
    // key after Reset and while there is no field.
    std::optional<int> Cursor() const { return At < 0 ? std::nullopt : std::optional<int>(At); }

private:
    // The first of the cells that run into this one, by the measure, outside its loop.
    int Uphill(int cell, int CellRiver::*measure) const;
    void Say(const char* outcome);

    const RiverAnalysis& Rivers;
    int At = -1;
    std::vector<bool> Mentioned;
    std::string Phrase;
};

}  // namespace quorrin
