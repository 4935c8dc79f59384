// A random source that hands out a fixed list of draws, then repeats its last one.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "RandomSource.h"

namespace quorrin::test {

class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<float> draws) : Draws(std::move(draws)) {}

    float Next() override
    {
        const float value = Draws[Taken < Draws.size() ? Taken : Draws.size() - 1];
        ++Taken;
        return value;
    }

    std::vector<float> Draws;
    std::size_t Taken = 0;
};

}  // namespace quorrin::test
