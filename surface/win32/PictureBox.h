// The picture control: a child window with a sunken frame, whose painting only copies the core's
// pixels to the screen.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "RetainedPicture.h"

namespace quorrin {

class PictureBox final {
public:
    // The drawing area is areaWidth x areaHeight pixels at 96 dpi, inside a frame 2 pixels wide
    // there; both scale with the window's dpi.
    PictureBox(int areaWidth, int areaHeight);
    PictureBox(const PictureBox&) = delete;
    PictureBox& operator=(const PictureBox&) = delete;

    // Makes the child window at (left, top) of the parent's client area; its size follows the dpi.
    HWND Create(HWND parent, int id, int left, int top, UINT dpi);
    // A new dpi: the frame and the raster take their new sizes, and the kept segments are
    // rasterised again at the next paint; no view runs.
    void SetDpi(int left, int top, UINT dpi);
    // The system's colours changed: the picture is rasterised again in the new ones.
    void TakeColours();

    DrawingSurface& Surface() { return Picture; }
    RetainedPicture& Retained() { return Picture; }
    // Called when rasterising again for a paint fails; painting itself cannot throw.
    void SetRenderFailureHandler(std::function<void(const std::string&)> handler) { RenderFailed = std::move(handler); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint(HDC dc);
    int Frame() const;
    int Width() const;
    int Height() const;

    RetainedPicture Picture;
    int AreaWidth;
    int AreaHeight;
    std::function<void(const std::string&)> RenderFailed;
    HWND Window = nullptr;
    UINT Dpi = 96;
};

}  // namespace quorrin
