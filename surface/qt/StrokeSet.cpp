// Hashing strokes by their bits; 0 and -0 hash alike since they compare equal.
#include "StrokeSet.h"

#include <algorithm>
#include <cstring>

namespace quorrin {
namespace {

std::uint64_t Bits(float value)
{
    value += 0.0f;  // -0 becomes +0
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Spreads every input bit over the whole word, so that the low bits used as the slot index
// differ even for coordinates whose floats end in many zero bits, as 2.5 or 48 do.
std::uint64_t Mix(std::uint64_t value)
{
    value ^= value >> 33;
    value *= 0xff51afd7ed558ccdULL;
    value ^= value >> 33;
    value *= 0xc4ceb9fe1a85ec53ULL;
    value ^= value >> 33;
    return value;
}

std::size_t Hash(const Stroke& stroke)
{
    const std::uint64_t start = Bits(stroke.X1) | Bits(stroke.Y1) << 32;
    const std::uint64_t end = Bits(stroke.X2) | Bits(stroke.Y2) << 32;
    return static_cast<std::size_t>(
        Mix(start ^ Mix(end ^ static_cast<std::uint64_t>(static_cast<std::uint32_t>(stroke.PenWidth)))));
}

}  // namespace

bool StrokeSet::Insert(const Stroke& stroke)
{
    if (2 * (Count + 1) > Slots.size()) {
        Grow();
    }
    if (!Place(stroke)) {
        return false;
    }
    ++Count;
    return true;
}

bool StrokeSet::Place(const Stroke& stroke)
{
    const std::size_t mask = Slots.size() - 1;
    for (std::size_t i = Hash(stroke) & mask;; i = (i + 1) & mask) {
        if (Stamps[i] != Stamp) {
            Slots[i] = stroke;
            Stamps[i] = Stamp;
            return true;
        }
        if (Slots[i] == stroke) {
            return false;
        }
    }
}

void StrokeSet::Clear()
{
    Count = 0;
    if (++Stamp == 0) {
        std::fill(Stamps.begin(), Stamps.end(), 0u);
        Stamp = 1;
    }
}

void StrokeSet::Grow()
{
    std::vector<Stroke> kept;
    kept.reserve(Count);
    for (std::size_t i = 0; i < Slots.size(); ++i) {
        if (Stamps[i] == Stamp) {
            kept.push_back(Slots[i]);
        }
    }
    const std::size_t size = std::max<std::size_t>(1024, 2 * Slots.size());
    Slots.assign(size, Stroke{});
    Stamps.assign(size, 0u);
    Stamp = 1;
    for (const Stroke& stroke : kept) {
        Place(stroke);
    }
}

}  // namespace quorrin
