// The stream view: the river network that the field's directions form.
#pragma once

#include "DrawingSurface.h"
#include "Field.h"

namespace quorrin {

// Sets every flow to 1 and draws, for each visited cell with a direction, a segment to the
// cell it drains into, with an outlet mark where the stream leaves the field.
void DrawStreams(FieldState& field, DrawingSurface& surface);

}  // namespace quorrin
