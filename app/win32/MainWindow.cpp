// Builds the controls from their twips at the window's dpi, and hands each message to its handler.
#include "MainWindow.h"

#include <commctrl.h>

#include <cmath>
#include <iterator>

#include "FatalError.h"

namespace quorrin {
namespace {

constexpr wchar_t kClassName[] = L"QuorrinMainWindow";
constexpr wchar_t kTitle[] = L"Random discharge directions causing river systems Arvelt";
constexpr wchar_t kLabelText[] = L"Save on clipboard by Alt+PrtSc";
// None of them is IDOK or IDCANCEL, so Enter on the picture and Escape click nothing.
enum ControlId { kCommand1 = 101, kCommand2, kCommand3, kPicture1, kLabel1 };
// Posted when a paint could not rasterise the picture, to report it outside painting.
constexpr UINT kPendingFailure = WM_APP;

struct TwipRect {
    int Left, Top, Width, Height;
};
constexpr TwipRect kClientArea{0, 0, 7875, 8250};
constexpr TwipRect kCommand3Box{5040, 7560, 2175, 375};
constexpr TwipRect kCommand2Box{2880, 7560, 1815, 375};
constexpr TwipRect kCommand1Box{360, 7560, 2175, 375};
constexpr TwipRect kPicture1Box{360, 360, 6891, 6641};
constexpr TwipRect kLabel1Box{2520, 7200, 2535, 375};
// The picture's frame is 2 pixels on each side at 96 dpi; the drawing area is the rest.
constexpr int kAreaWidth = 459 - 4;
constexpr int kAreaHeight = 443 - 4;

// Twips are 1/1440 inch.
int Pixels(int twips, UINT dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

std::wstring Wide(std::string_view text)
{
    std::wstring wide(static_cast<std::size_t>(text.size()), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                           static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(length));
    return wide;
}

}  // namespace

MainWindow::MainWindow() : Picture(kAreaWidth, kAreaHeight), Clicks(Picture.Surface(), *this, Random)
{
    Picture.Retained().SetWindowAreaClearer([this] { ClearWindowArea(); });
    Picture.SetRenderFailureHandler([this](const std::string& message) {
        if (PendingFailure.empty()) {
            PendingFailure = message;
            PostMessageW(Window, kPendingFailure, 0, 0);
        }
    });
}

MainWindow::~MainWindow()
{
    DeleteObject(Font);
    DeleteObject(LabelFont);
}

int MainWindow::Run(HINSTANCE instance, int show)
{
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, L"IDI_ICON1");
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // The colour's index, not its brush: a change of the system's colours replaces the brushes.
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass) ||
        !CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this)) {
        // A window destroyed while it was being created has already asked the loop to end.
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        Fail(PendingFailure.empty() ? "the window cannot be created" : PendingFailure);
        return ExitStatus;
    }

    // The client area is 525 x 550 pixels at 96 dpi, and scales with the window's dpi.
    RECT frame{0, 0, Pixels(kClientArea.Width, Dpi), Pixels(kClientArea.Height, Dpi)};
    AdjustWindowRectExForDpi(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0, Dpi);
    SetWindowPos(Window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(Window, show);
    UpdateWindow(Window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // The dialog manager moves the focus on Tab and clicks the focused button on Space, and
        // on Enter too, as the focused button is the default one.
        if (!Window || !IsDialogMessageW(Window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return ExitStatus;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->Window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->Handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        try {
            OnCreate();
        } catch (const FatalError& error) {
            PendingFailure = error.what();
            return -1;
        }
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            OnCommand(LOWORD(wParam));
        } else if (HIWORD(wParam) == BN_SETFOCUS) {
            OnFocus(reinterpret_cast<HWND>(lParam));
        }
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_SYSCOLORCHANGE:
        OnSysColorChange();
        return 0;
    case WM_SIZE:
        // A window activated while minimised keeps the focus itself, as no control can take it
        // then; restored, it hands the focus back.
        if (wParam == SIZE_RESTORED && GetFocus() == Window) {
            SetFocus(Focused);
        }
        return 0;
    case DM_GETDEFID:
        // The dialog manager asks for the default button when it moves the focus and on Enter.
        return Focused == Picture1 ? 0 : MAKELRESULT(GetDlgCtrlID(Focused), DC_HASDEFID);
    case WM_SETFOCUS:
        // The window activated again, after a minimise too, gives the focus back to the control
        // that had it last.
        SetFocus(Focused);
        return 0;
    case kPendingFailure:
        Fail(PendingFailure);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(ExitStatus);
        return 0;
    case WM_NCDESTROY: {
        HWND window = Window;
        Window = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    default:
        break;
    }
    return DefWindowProcW(Window, message, wParam, lParam);
}

void MainWindow::OnCreate()
{
    Dpi = GetDpiForWindow(Window);
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(Window, GWLP_HINSTANCE));
    const auto make = [&](const wchar_t* windowClass, const wchar_t* text, DWORD style, int id) {
        HWND control = CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, 0,
                                       0, 0, Window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                       nullptr);
        if (!control) {
            throw FatalError("the control " + std::to_string(id) + " cannot be created");
        }
        return control;
    };
    // The buttons tell when they take the focus, and so does the picture.
    Command3 = make(WC_BUTTONW, L"New random with taps", WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, kCommand3);
    Command2 = make(WC_BUTTONW, L"Show streams", WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, kCommand2);
    Command1 = make(WC_BUTTONW, L"New random", WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, kCommand1);
    Picture1 = Picture.Create(Window, kPicture1, Pixels(kPicture1Box.Left, Dpi), Pixels(kPicture1Box.Top, Dpi), Dpi);
    Label1 = make(WC_STATICW, kLabelText, SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX, kLabel1);

    // The dialog manager tabs in z-order: Picture1, Command1, Command2, Command3. Command2 also
    // lies above the label, and is drawn over the label's last pixel row.
    HWND after = HWND_TOP;
    for (HWND control : {Picture1, Command1, Command2, Command3, Label1}) {
        SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = control;
    }
    Layout();
    Clicks.OnWindowLoad();
    Focused = Picture1;
}

void MainWindow::Layout()
{
    const auto place = [&](HWND control, const TwipRect& box) {
        SetWindowPos(control, nullptr, Pixels(box.Left, Dpi), Pixels(box.Top, Dpi), Pixels(box.Width, Dpi),
                     Pixels(box.Height, Dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(Command3, kCommand3Box);
    place(Command2, kCommand2Box);
    place(Command1, kCommand1Box);
    place(Label1, kLabel1Box);
    Picture.SetDpi(Pixels(kPicture1Box.Left, Dpi), Pixels(kPicture1Box.Top, Dpi), Dpi);

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, Dpi)) {
        throw FatalError("the system's message font is unknown");
    }
    DeleteObject(Font);
    Font = CreateFontIndirectW(&metrics.lfMessageFont);
    for (HWND button : {Command1, Command2, Command3}) {
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(Font), TRUE);
    }
    FitLabelFont(metrics.lfMessageFont);
}

void MainWindow::FitLabelFont(LOGFONTW font)
{
    // The largest size of the message font, at most its own, at which the text fits the box whole.
    RECT box;
    GetClientRect(Label1, &box);
    HDC dc = GetDC(Label1);
    for (;;) {
        HFONT candidate = CreateFontIndirectW(&font);
        HGDIOBJ old = SelectObject(dc, candidate);
        SIZE text{};
        GetTextExtentPoint32W(dc, kLabelText, static_cast<int>(std::size(kLabelText)) - 1, &text);
        SelectObject(dc, old);
        const bool fits = text.cx <= box.right && text.cy <= box.bottom;
        if (fits || font.lfHeight == 1 || font.lfHeight == -1) {
            DeleteObject(LabelFont);
            LabelFont = candidate;
            break;
        }
        DeleteObject(candidate);
        font.lfHeight += font.lfHeight < 0 ? 1 : -1;
    }
    ReleaseDC(Label1, dc);
    SendMessageW(Label1, WM_SETFONT, reinterpret_cast<WPARAM>(LabelFont), TRUE);
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested)
{
    Dpi = dpi;
    SetWindowPos(Window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    try {
        Layout();
    } catch (const FatalError& error) {
        Fail(error.what());
    }
}

void MainWindow::OnSysColorChange()
{
    Picture.TakeColours();
    for (HWND control : {Command1, Command2, Command3, Label1}) {
        SendMessageW(control, WM_SYSCOLORCHANGE, 0, 0);
    }
    InvalidateRect(Window, nullptr, TRUE);
}

void MainWindow::OnFocus(HWND control)
{
    Focused = control;
    // As in a dialog, the focused button is the default one and shows it, and while the picture
    // has the focus no button is.
    for (HWND button : {Command1, Command2, Command3}) {
        SendMessageW(button, BM_SETSTYLE, button == control ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
}

void MainWindow::OnCommand(int id)
{
    switch (id) {
    case kCommand1:
        Click(&Handlers::OnNewRandom);
        break;
    case kCommand2:
        Click(&Handlers::OnToggleView);
        break;
    case kCommand3:
        Click(&Handlers::OnNewRandomWithTaps);
        break;
    default:
        break;
    }
}

void MainWindow::SetCaption(Button button, std::string_view caption)
{
    HWND const buttons[] = {Command1, Command2, Command3};
    if (!SetWindowTextW(buttons[static_cast<int>(button)], Wide(caption).c_str())) {
        throw FatalError("a button's caption cannot be set");
    }
}

void MainWindow::ClearWindowArea()
{
    // The window clips its children, so only its own area is erased.
    RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

void MainWindow::Click(void (Handlers::*handler)())
{
    if (Failed) {
        return;
    }
    const auto failure = RunAndRender([this, handler] { (Clicks.*handler)(); }, Picture.Retained());
    // Whatever the view drew, up to a failure too, is shown before anything is reported.
    InvalidateRect(Picture1, nullptr, FALSE);
    if (failure) {
        UpdateWindow(Picture1);
        Fail(*failure);
    }
}

void MainWindow::Fail(const std::string& message)
{
    if (Failed) {
        return;
    }
    Failed = true;
    ExitStatus = 1;
    MessageBoxW(Window, Wide("Quorrin must end: " + message + ".").c_str(), L"Quorrin", MB_OK | MB_ICONERROR);
    if (Window) {
        DestroyWindow(Window);
    }
}

}  // namespace quorrin
