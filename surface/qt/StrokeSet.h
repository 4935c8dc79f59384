// A set of strokes for dropping exact repeats: flat, and emptied in constant time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorrin {

// A segment as a view asked for it, in logical coordinates, with the pen width in force.
struct Stroke {
    float X1, Y1, X2, Y2;
    int PenWidth;
    bool operator==(const Stroke&) const = default;
};

// Open addressing with linear probing. A slot is taken when its stamp is the current one, so
// Clear only moves to a new stamp.
class StrokeSet {
public:
    // True when the stroke was not in the set yet.
    bool Insert(const Stroke& stroke);
    void Clear();

private:
    void Grow();
    bool Place(const Stroke& stroke);

    std::vector<Stroke> Slots;
    std::vector<std::uint32_t> Stamps;
    std::uint32_t Stamp = 1;
    std::size_t Count = 0;
};

}  // namespace quorrin
