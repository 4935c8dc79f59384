// The picture in words, from the field itself: what a screen reader says of it and what its
// tooltip shows.
#pragma once

#include <string>
#include <vector>

#include "Handlers.h"
#include "RiverSystems.h"

namespace quorrin {

struct Description {
    // "Drainage of a 48 by 48 field", "Streams of a 22 by 22 field", or "Empty picture".
    std::string Name;
    // Where the river systems leave the field, how much the largest drains, and how many cells
    // drain into how many closed loops.
    std::string Text;
    bool operator==(const Description&) const = default;
};

// The view that the state's last click drew, with its field's river systems.
Description Describe(const WindowState& state, const RiverSystems& systems);

// 2304 as "2,304".
std::string Number(int value);
// "north", "west", "east" or "south".
const char* EdgeName(Edge edge);

// What a screen reader says after a click: the picture's new name, its text where that changed,
// and the buttons' new captions, for example "Streams of a 48 by 48 field. The button now reads
// Show drainage."
std::string Announce(const Description& before, const Description& after, const std::vector<std::string>& captions);

}  // namespace quorrin
