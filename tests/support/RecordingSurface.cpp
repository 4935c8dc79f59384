// The recording surface's one failure point.
#include "RecordingSurface.h"

#include "FatalError.h"

namespace quorrin::test {

void RecordingSurface::Log(Op operation, std::array<float, 4> arguments)
{
    if (++Attempts == FailAt) {
        throw FatalError("scripted failure of a drawing operation");
    }
    Calls.push_back({operation, arguments});
}

}  // namespace quorrin::test
