// Counts put into sentences, with numbers as people write them.
#include "Description.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace quorrin {

std::string Number(int value)
{
    const std::string digits = std::to_string(value);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            text += ',';
        }
        text += digits[i];
    }
    return text;
}

const char* EdgeName(Edge edge)
{
    static const char* const names[] = {"north", "west", "east", "south"};
    return names[edge];
}

namespace {

std::string Counted(int count, const std::string& one, const std::string& many)
{
    return (count == 0 ? std::string("No") : Number(count)) + ' ' + (count == 1 || count == 0 ? one : many);
}

}  // namespace

Description Describe(const WindowState& state, const RiverSystems& systems)
{
    const int cells = systems.Columns * systems.Rows;
    if (systems.Ending == cells) {
        return {"Empty picture", "No field has been made yet."};
    }
    const std::string size = Number(systems.Columns) + " by " + Number(systems.Rows);
    Description description{(state.ViewToggle == 0 ? "Streams of a " : "Drainage of a ") + size + " field", ""};

    const int leaving = std::accumulate(systems.Leaving.begin(), systems.Leaving.end(), 0);
    std::string& text = description.Text;
    text = Counted(leaving, "river system leaves", "river systems leave") + " the field";
    if (leaving > 0) {
        // The edges the most leave across first; north, west, east, south among equals.
        std::pair<int, std::size_t> edges[4];
        for (std::size_t edge = 0; edge < 4; ++edge) {
            edges[edge] = {-systems.Leaving[edge], edge};
        }
        std::sort(std::begin(edges), std::end(edges));
        bool first = true;
        for (const auto& [minusCount, edge] : edges) {
            if (minusCount == 0) {
                continue;
            }
            const std::string count = Number(-minusCount);
            const std::string name = EdgeName(static_cast<Edge>(edge));
            text += first ? ": " + count + " across the " + name + " edge" : ", " + count + ' ' + name;
            first = false;
        }
        text += ". The largest drains " + Number(systems.Largest) + " of the " + Number(cells) + " cells";
    }
    // Each closed loop is a river system of its own, as the explorer counts them.
    text += ". " + Counted(systems.InLoops, "cell drains", "cells drain") +
            (systems.Loops <= 1 ? " into a closed loop." : " into " + Number(systems.Loops) + " closed loops.");
    return description;
}

std::string Announce(const Description& before, const Description& after, const std::vector<std::string>& captions)
{
    std::string said = after.Name + '.';
    if (after.Text != before.Text) {
        said += ' ' + after.Text;
    }
    if (!captions.empty()) {
        said += captions.size() == 1 ? " The button now reads " : " The buttons now read ";
        for (std::size_t i = 0; i < captions.size(); ++i) {
            said += (i == 0 ? "" : i + 1 == captions.size() ? " and " : ", ") + captions[i];
        }
        said += '.';
    }
    return said;
}

}  // namespace quorrin
