// The recording surface's bookkeeping.
#include "RecordingSurface.h"

#include <algorithm>
#include <utility>

#include "FatalError.h"

namespace quorrin::test {

RecordingSurface::RecordingSurface(float width, float height) : Width(width), Height(height) {}

void RecordingSurface::Record(Op operation, std::vector<float> arguments)
{
    if (Calls.size() + 1 == FailingCall) {
        throw FatalError("scripted failure of a drawing operation");
    }
    Calls.push_back({operation, std::move(arguments)});
}

std::size_t RecordingSurface::Count(Op operation) const
{
    return static_cast<std::size_t>(std::count_if(
        Calls.begin(), Calls.end(), [operation](const Call& call) { return call.Operation == operation; }));
}

void RecordingSurface::ClearPicture() { Record(Op::ClearPicture, {}); }

void RecordingSurface::ClearWindowArea() { Record(Op::ClearWindowArea, {}); }

float RecordingSurface::LogicalWidth()
{
    Record(Op::LogicalWidth, {});
    return Width;
}

float RecordingSurface::LogicalHeight()
{
    Record(Op::LogicalHeight, {});
    return Height;
}

void RecordingSurface::SetPenWidth(int pixels)
{
    Record(Op::SetPenWidth, {static_cast<float>(pixels)});
    PenWidth = pixels;
}

void RecordingSurface::DrawLine(float x1, float y1, float x2, float y2)
{
    Record(Op::DrawLine, {x1, y1, x2, y2});
    Segments.push_back({x1, y1, x2, y2, PenWidth});
    PenX = x2;
    PenY = y2;
}

void RecordingSurface::DrawLineBy(float dx, float dy)
{
    Record(Op::DrawLineBy, {dx, dy});
    Segments.push_back({PenX, PenY, PenX + dx, PenY + dy, PenWidth});
    PenX += dx;
    PenY += dy;
}

}  // namespace quorrin::test
