// The fixed-seed draws: 24 random bits per value, so every value, 0.5 included, is exact.
#include "RandomSource.h"

namespace quorrin {

float SeededRandomSource::Next()
{
    constexpr float kOneOver2To24 = 1.0f / 16777216.0f;
    return static_cast<float>(Engine() >> 8) * kOneOver2To24;
}

}  // namespace quorrin
