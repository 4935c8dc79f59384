// The picture control: a child window with a sunken frame, whose painting only copies the core's
// pixels to the screen.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "Program.h"

namespace quorrin {

class PictureBox final {
public:
    // Shows the picture on a drawing area of areaWidth x areaHeight pixels at 96 dpi, inside a
    // sunken frame `frame` pixels wide there; all scale with the window's dpi.
    PictureBox(RetainedPicture& picture, int areaWidth, int areaHeight, int frame);
    PictureBox(const PictureBox&) = delete;
    PictureBox& operator=(const PictureBox&) = delete;

    // Makes the child window; SetDpi places it. Its window text is its name for screen readers.
    HWND Create(HWND parent, int id, UINT dpi);
    // At (left, top) of the parent's client area and a dpi: the frame and the raster take their
    // sizes, and the kept segments are rasterised again at the next paint; no view runs.
    void SetDpi(int left, int top, UINT dpi);
    // The system's colours changed: the picture is rasterised again in the new ones.
    void TakeColours();

    // Called when rasterising again for a paint fails; painting itself cannot throw.
    void SetRenderFailureHandler(std::function<void(const std::string&)> handler) { RenderFailed = std::move(handler); }
    // Called with each key that moves the explorer's cursor, pressed while the picture has the focus.
    void SetExploreHandler(std::function<void(ExploreKey)> handler) { Explore = std::move(handler); }
    // Where the explorer's cursor is on the raster at each paint, drawn as a ring over the picture.
    void SetCursorSource(std::function<std::optional<PixelBox>()> cursor) { Cursor = std::move(cursor); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint(HDC dc);
    // Hands an explore key to the handler; false for any other key.
    bool OnKey(WPARAM key);
    int Frame() const;
    int Width() const;
    int Height() const;

    RetainedPicture& Picture;
    int AreaWidth;
    int AreaHeight;
    int FrameWidth;
    std::function<void(const std::string&)> RenderFailed;
    std::function<void(ExploreKey)> Explore;
    std::function<std::optional<PixelBox>()> Cursor;
    HWND Window = nullptr;
    UINT Dpi = 96;
};

}  // namespace quorrin
