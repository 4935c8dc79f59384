// The pseudo-random draws of a generation: one sequence of floats in [0, 1).
#pragma once

#include <random>

namespace quorrin {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // The next value of the sequence, 0 <= r < 1.
    virtual float Next() = 0;

protected:
    RandomSource() = default;
    RandomSource(const RandomSource&) = default;
    RandomSource& operator=(const RandomSource&) = default;
};

// Starts from the same state in every run and is never reseeded, so the same clicks give the
// same fields on every platform: the engine's sequence is fixed by the C++ standard, and the
// conversion to float is our own (library distributions differ between implementations).
class SeededRandomSource final : public RandomSource {
public:
    float Next() override;

private:
    std::mt19937 Engine;
};

}  // namespace quorrin
