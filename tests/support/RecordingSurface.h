// A drawing surface for tests: logs every call with its arguments, and can fail on demand.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "DrawingSurface.h"
#include "FatalError.h"

namespace quorrin::test {

enum class Op { ClearPicture, ClearWindowArea, LogicalWidth, LogicalHeight, SetPenWidth, DrawLine, DrawLineBy };

// One call with its arguments exactly as handed over; unused arguments stay 0.
struct Call {
    Op Operation;
    std::array<float, 4> Arguments;
    bool operator==(const Call&) const = default;
};

class RecordingSurface final : public DrawingSurface {
public:
    explicit RecordingSurface(float width = 51.0f, float height = 51.0f) : Width(width), Height(height) {}

    // The n-th call (counting from 1) throws FatalError and is not logged; 0 never fails.
    std::size_t FailAt = 0;
    // Every call made, the failing one too.
    std::size_t Attempts = 0;
    std::vector<Call> Calls;

    void ClearPicture() override { Log(Op::ClearPicture); }
    void ClearWindowArea() override { Log(Op::ClearWindowArea); }
    float LogicalWidth() override { return Log(Op::LogicalWidth), Width; }
    float LogicalHeight() override { return Log(Op::LogicalHeight), Height; }
    void SetPenWidth(int pixels) override { Log(Op::SetPenWidth, {static_cast<float>(pixels)}); }
    void DrawLine(float x1, float y1, float x2, float y2) override { Log(Op::DrawLine, {x1, y1, x2, y2}); }
    void DrawLineBy(float dx, float dy) override { Log(Op::DrawLineBy, {dx, dy}); }

private:
    void Log(Op operation, std::array<float, 4> arguments = {})
    {
        if (++Attempts == FailAt) throw FatalError("scripted failure of a drawing operation");
        Calls.push_back({operation, arguments});
    }

    float Width;
    float Height;
};

}  // namespace quorrin::test
