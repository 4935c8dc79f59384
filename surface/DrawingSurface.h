// The picture every view draws on: a logical coordinate system, one pen, and seven operations.
#pragma once

namespace quorrin {

// (0, 0) is the top-left corner of the drawing area and (LogicalWidth, LogicalHeight) its
// bottom-right corner; y grows downwards. The pen keeps its position and width between calls
// and between views. Every operation that fails throws FatalError.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    // Fills the picture with its background colour. The pen width stays.
    virtual void ClearPicture() = 0;
    // Clears the main window's own client area; the controls and the picture are untouched.
    virtual void ClearWindowArea() = 0;
    // The logical extent; every read within one view returns the same value.
    virtual float LogicalWidth() = 0;
    virtual float LogicalHeight() = 0;
    // Later segments are drawn this many device pixels wide.
    virtual void SetPenWidth(int pixels) = 0;
    // A segment between two absolute points; the pen ends at (x2, y2).
    virtual void DrawLine(float x1, float y1, float x2, float y2) = 0;
    // A segment from the pen position by (dx, dy); the pen ends at the segment's end.
    virtual void DrawLineBy(float dx, float dy) = 0;

protected:
    DrawingSurface() = default;
    DrawingSurface(const DrawingSurface&) = default;
    DrawingSurface& operator=(const DrawingSurface&) = default;
};

}  // namespace quorrin
