// A drawing surface for tests: logs every call, follows the pen, and can fail on demand.
#pragma once

#include <cstddef>
#include <vector>

#include "DrawingSurface.h"

namespace quorrin::test {

enum class Op { ClearPicture, ClearWindowArea, LogicalWidth, LogicalHeight, SetPenWidth, DrawLine, DrawLineBy };

// One call with the arguments exactly as handed over.
struct Call {
    Op Operation;
    std::vector<float> Arguments;
    bool operator==(const Call&) const = default;
};

// A segment in absolute coordinates, as the pen drew it.
struct Segment {
    float X1, Y1, X2, Y2;
    int PenWidth;
    bool operator==(const Segment&) const = default;
};

class RecordingSurface final : public DrawingSurface {
public:
    RecordingSurface(float width = 51.0f, float height = 51.0f);

    // Makes the n-th call from now on (counting from 1) throw FatalError unlogged.
    void FailAtCall(std::size_t n) { FailingCall = Calls.size() + n; }

    void ClearPicture() override;
    void ClearWindowArea() override;
    float LogicalWidth() override;
    float LogicalHeight() override;
    void SetPenWidth(int pixels) override;
    void DrawLine(float x1, float y1, float x2, float y2) override;
    void DrawLineBy(float dx, float dy) override;

    // How many logged calls are of this operation.
    std::size_t Count(Op operation) const;

    float Width;
    float Height;
    std::vector<Call> Calls;
    // Every segment since construction; a clear does not remove them.
    std::vector<Segment> Segments;

private:
    void Record(Op operation, std::vector<float> arguments);

    float PenX = 0.0f;
    float PenY = 0.0f;
    int PenWidth = 1;

    std::size_t FailingCall = 0;
};

}  // namespace quorrin::test
