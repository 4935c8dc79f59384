// Showing the retained picture, crisp at the window's dpi, in the system's colours, with a
// visible keyboard focus.
#include "PictureBox.h"

#include <cmath>

#include "FatalError.h"

namespace quorrin {
namespace {

constexpr wchar_t kClassName[] = L"QuorrinPicture";

// A COLORREF is 0x00BBGGRR; a 32-bit DIB pixel is 0x00RRGGBB.
std::uint32_t Pixel(COLORREF colour)
{
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

int Scaled(int pixels, UINT dpi) { return static_cast<int>(std::lround(pixels * dpi / 96.0)); }

void Band(HDC dc, const RECT& box, int inset, int width, int topLeft, int bottomRight)
{
    const int left = box.left + inset, top = box.top + inset, right = box.right - inset, bottom = box.bottom - inset;
    const RECT edges[] = {{left, top, right, top + width}, {left, top, left + width, bottom},
                          {left, bottom - width, right, bottom}, {right - width, top, right, bottom}};
    for (int i = 0; i < 4; ++i) {
        // The bottom-right edges are drawn last, and so own the two corners they share.
        FillRect(dc, &edges[i], GetSysColorBrush(i < 2 ? topLeft : bottomRight));
    }
}

}  // namespace

PictureBox::PictureBox(RetainedPicture& picture, int areaWidth, int areaHeight, int frame)
    : Picture(picture), AreaWidth(areaWidth), AreaHeight(areaHeight), FrameWidth(frame)
{
    TakeColours();
}

HWND PictureBox::Create(HWND parent, int id, UINT dpi)
{
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    WNDCLASSEXW windowClass{};
    if (!GetClassInfoExW(instance, kClassName, &windowClass)) {
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kClassName;
        if (!RegisterClassExW(&windowClass)) {
            throw FatalError("the picture control cannot be registered");
        }
    }
    Dpi = dpi;
    Window = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS,
                             0, 0, Width(), Height(), parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    if (!Window) {
        throw FatalError("the picture control cannot be created");
    }
    return Window;
}

int PictureBox::Frame() const { return Scaled(FrameWidth, Dpi); }
int PictureBox::Width() const { return Scaled(AreaWidth, Dpi) + 2 * Frame(); }
int PictureBox::Height() const { return Scaled(AreaHeight, Dpi) + 2 * Frame(); }

void PictureBox::SetDpi(int left, int top, UINT dpi)
{
    Dpi = dpi;
    SetWindowPos(Window, nullptr, left, top, Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(Window, nullptr, FALSE);
}

void PictureBox::TakeColours()
{
    Picture.SetColours(Pixel(GetSysColor(COLOR_WINDOW)), Pixel(GetSysColor(COLOR_WINDOWTEXT)));
    if (Window) {
        InvalidateRect(Window, nullptr, FALSE);
    }
}

void PictureBox::OnPaint(HDC dc)
{
    // A new dpi rasterises the kept segments again at its scale; no view runs.
    try {
        Picture.SetScale(Dpi / 96.0);
        Picture.Render();
    } catch (const FatalError& error) {
        if (RenderFailed) {
            RenderFailed(error.what());
        }
    }

    RECT box;
    GetClientRect(Window, &box);
    const int frame = Frame();
    if (GetFocus() == Window) {
        // The focused picture trades its sunken frame for one in the highlight colour, so the
        // focus shows without covering any of the picture.
        Band(dc, box, 0, frame, COLOR_HIGHLIGHT, COLOR_HIGHLIGHT);
    } else {
        Band(dc, box, 0, frame / 2, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
        Band(dc, box, frame / 2, frame - frame / 2, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
    }

    BITMAPINFO bitmap{};
    bitmap.bmiHeader.biSize = sizeof bitmap.bmiHeader;
    bitmap.bmiHeader.biWidth = Picture.PixelWidth();
    bitmap.bmiHeader.biHeight = -Picture.PixelHeight();  // top row first
    bitmap.bmiHeader.biPlanes = 1;
    bitmap.bmiHeader.biBitCount = 32;
    bitmap.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, frame, frame, static_cast<DWORD>(Picture.PixelWidth()),
                      static_cast<DWORD>(Picture.PixelHeight()), 0, 0, 0,
                      static_cast<UINT>(Picture.PixelHeight()), Picture.Pixels(), &bitmap, DIB_RGB_COLORS);
    if (const auto cell = Cursor ? Cursor() : std::nullopt) {
        // The ring over the cell, in the colour the focus shows in.
        const RECT outer{frame + cell->Left, frame + cell->Top, frame + cell->Right + 1, frame + cell->Bottom + 1};
        Band(dc, outer, 0, cell->Ring, COLOR_HIGHLIGHT, COLOR_HIGHLIGHT);
    }
}

bool PictureBox::OnKey(WPARAM key)
{
    const char* name = key == VK_UP ? "ArrowUp" : key == VK_DOWN ? "ArrowDown" : key == VK_LEFT ? "ArrowLeft"
                     : key == VK_RIGHT ? "ArrowRight" : key == VK_NEXT ? "PageDown" : key == VK_PRIOR ? "PageUp"
                     : key == VK_HOME ? "Home" : key == VK_END ? "End" : "";
    const auto move = ExploreKeyFor(name, GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0);
    if (move && Explore) {
        Explore(*move);
    }
    return move.has_value();
}

LRESULT CALLBACK PictureBox::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<PictureBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        self->OnPaint(BeginPaint(window, &paint));
        EndPaint(window, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        self->OnPaint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;  // painting covers every pixel
    case WM_SETFOCUS:
        // The parent hears of it as it hears of a button taking the focus.
        SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), BN_SETFOCUS),
                     reinterpret_cast<LPARAM>(window));
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_KILLFOCUS:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(window);
        return 0;
    case WM_GETDLGCODE:
        // The arrow keys move the explorer's cursor rather than the focus.
        return DLGC_WANTARROWS;
    case WM_KEYDOWN:
        return self->OnKey(wParam) ? 0 : DefWindowProcW(window, message, wParam, lParam);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace quorrin
