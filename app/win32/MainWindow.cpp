// Builds the controls from the window's table at the window's dpi, and hands each message to its
// handler.
#include "MainWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "FatalError.h"

namespace quorrin {
namespace {

constexpr wchar_t kClassName[] = L"QuorrinMainWindow";
// Posted when a paint could not rasterise the picture, to report it outside painting.
constexpr UINT kPendingFailure = WM_APP;
// Each control's id is 101 and its tab index on; none is IDOK or IDCANCEL, so Enter on the
// picture and Escape click nothing.
int Id(const Control& control) { return 101 + control.TabIndex; }

std::wstring Wide(std::string_view text)
{
    std::wstring wide(static_cast<std::size_t>(text.size()), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                           static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(length));
    return wide;
}

// The picture as the one tool of its tooltip, showing that text.
TTTOOLINFOW PictureTool(HWND window, HWND picture, wchar_t* text)
{
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(picture);
    tool.lpszText = text;
    return tool;
}

}  // namespace

MainWindow::MainWindow() : Picture(Core.Picture(), kDrawingWidth, kDrawingHeight, kPictureFrame)
{
    Core.Picture().SetWindowAreaClearer([this] { ClearWindowArea(); });
    Core.ShowCaptionsWith([this](std::string_view button, const std::string& caption) {
        if (!SetWindowTextW(Hwnd(button), Wide(caption).c_str())) {
            throw FatalError("a button's caption cannot be set");
        }
        FitFont(ControlNamed(button));
    });
    Picture.SetCursorSource([this] { return Core.CursorBox(); });
    Picture.SetExploreHandler([this](ExploreKey key) {
        if (Core.Explore(key)) {
            InvalidateRect(Hwnd("Picture1"), nullptr, FALSE);
            Speaker.Announce(Window, Hwnd("Picture1"), Wide(Core.Announcement()));
        }
    });
    Picture.SetRenderFailureHandler([this](const std::string& message) {
        if (PendingFailure.empty()) {
            PendingFailure = message;
            PostMessageW(Window, kPendingFailure, 0, 0);
        }
    });
}

MainWindow::~MainWindow()
{
    for (HFONT font : Fonts) {
        DeleteObject(font);
    }
    DeleteObject(TipFont);
}

int MainWindow::Run(HINSTANCE instance, int show)
{
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};  // tooltips too
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
        !CreateWindowExW(0, kClassName, Wide(kTitle).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this)) {
        // A window destroyed while it was being created has already asked the loop to end.
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        // The first failure whichever it was: the program's start, or the window's own.
        Core.Fail(PendingFailure.empty() ? "the window cannot be created" : PendingFailure);
        Report(Core.Failure());
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
            OnCommand(reinterpret_cast<HWND>(lParam));
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
        return Focused == Hwnd("Picture1") ? 0 : MAKELRESULT(GetDlgCtrlID(Focused), DC_HASDEFID);
    case WM_SETFOCUS:
        // The window activated again, after a minimise too, gives the focus back to the control
        // that had it last.
        SetFocus(Focused);
        return 0;
    case kPendingFailure:
        Report(Core.Fail(PendingFailure));
        return 0;
    case WM_GETOBJECT:
        return Speaker.Object(Window, wParam, lParam);
    case WM_DESTROY:
        Speaker.Disconnect(Window);
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
    const auto make = [&](const wchar_t* windowClass, const Control& control, DWORD style) {
        HWND made = CreateWindowExW(0, windowClass, Wide(control.Text).c_str(),
                                    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, 0, 0, 0, Window,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id(control))), instance, nullptr);
        if (!made) {
            throw FatalError("the control " + std::string(control.Name) + " cannot be created");
        }
        return made;
    };
    // The buttons tell when they take the focus, and so does the picture.
    for (const Control& control : kControls) {
        switch (control.Kind) {
        case ControlKind::PushButton:
            Controls[control.TabIndex] = make(WC_BUTTONW, control, WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY);
            Speaker.Describe(Controls[control.TabIndex]);
            break;
        case ControlKind::Picture:
            Controls[control.TabIndex] = Picture.Create(Window, Id(control), Dpi);
            Speaker.Describe(Controls[control.TabIndex]);
            break;
        case ControlKind::Label:
            Controls[control.TabIndex] = make(WC_STATICW, control, SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX);
            break;
        }
    }
    // The dialog manager tabs in z-order, which is the tab order: Picture1, Command1, Command2,
    // Command3. Command2 also lies above the label, and is drawn over the label's last pixel row.
    HWND after = HWND_TOP;
    for (HWND control : Controls) {
        SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = control;
    }
    // The tooltip watches the picture's mouse messages itself; its text is set with the words.
    Tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0,
                          Window, nullptr, instance, nullptr);
    TTTOOLINFOW tool = PictureTool(Window, Hwnd("Picture1"), const_cast<wchar_t*>(L""));
    if (!Tip || !SendMessageW(Tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
        throw FatalError("the picture's tooltip cannot be created");
    }
    Focused = Hwnd("Picture1");
    Layout();
    if (const auto failure = Core.Start()) {
        throw FatalError(*failure);
    }
    ShowDescription();
}

void MainWindow::Layout()
{
    for (const Control& control : kControls) {
        const TwipBox& box = control.Box;
        if (control.Kind == ControlKind::Picture) {
            Picture.SetDpi(Pixels(box.Left, Dpi), Pixels(box.Top, Dpi), Dpi);
        } else {
            SetWindowPos(Controls[control.TabIndex], nullptr, Pixels(box.Left, Dpi), Pixels(box.Top, Dpi),
                         Pixels(box.Width, Dpi), Pixels(box.Height, Dpi), SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, Dpi)) {
        throw FatalError("the system's message font is unknown");
    }
    MessageFont = metrics.lfMessageFont;
    for (const Control& control : kControls) {
        if (control.Kind != ControlKind::Picture) {
            FitFont(control);
        }
    }
    // The tooltip's words wrap at the picture's width.
    DeleteObject(TipFont);
    TipFont = CreateFontIndirectW(&metrics.lfStatusFont);
    SendMessageW(Tip, WM_SETFONT, reinterpret_cast<WPARAM>(TipFont), FALSE);
    RECT picture;
    GetWindowRect(Hwnd("Picture1"), &picture);
    SendMessageW(Tip, TTM_SETMAXTIPWIDTH, 0, picture.right - picture.left);
}

void MainWindow::FitFont(const Control& fitted)
{
    // The largest size of the message font, at most its own, at which the control's text fits
    // whole: the label's box, or a button's room inside its focus rectangle.
    HWND control = Controls[fitted.TabIndex];
    const int margin = fitted.Kind == ControlKind::PushButton ? MulDiv(4, static_cast<int>(Dpi), 96) : 0;
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    RECT box;
    GetClientRect(control, &box);
    LOGFONTW font = MessageFont;
    HDC dc = GetDC(control);
    HFONT chosen = nullptr;
    while (!chosen) {
        HFONT candidate = CreateFontIndirectW(&font);
        HGDIOBJ old = SelectObject(dc, candidate);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        SelectObject(dc, old);
        if ((extent.cx <= box.right - 2 * margin && extent.cy <= box.bottom) || font.lfHeight == 1 || font.lfHeight == -1) {
            chosen = candidate;
        } else {
            DeleteObject(candidate);
            font.lfHeight += font.lfHeight < 0 ? 1 : -1;
        }
    }
    ReleaseDC(control, dc);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(chosen), TRUE);
    DeleteObject(Fonts[fitted.TabIndex]);
    Fonts[fitted.TabIndex] = chosen;
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested)
{
    Dpi = dpi;
    SetWindowPos(Window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    try {
        Layout();
    } catch (const FatalError& error) {
        Report(Core.Fail(error.what()));
    }
}

void MainWindow::OnSysColorChange()
{
    Picture.TakeColours();
    for (HWND control : Controls) {
        SendMessageW(control, WM_SYSCOLORCHANGE, 0, 0);
    }
    InvalidateRect(Window, nullptr, TRUE);
}

void MainWindow::OnFocus(HWND control)
{
    Focused = control;
    // As in a dialog, the focused button is the default one and shows it, and while the picture
    // has the focus no button is.
    for (HWND button : Buttons()) {
        SendMessageW(button, BM_SETSTYLE, button == control ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
}

std::vector<HWND> MainWindow::Buttons() const
{
    std::vector<HWND> buttons;
    for (const Control& control : kControls) {
        if (control.Kind == ControlKind::PushButton) {
            buttons.push_back(Controls[control.TabIndex]);
        }
    }
    return buttons;
}

void MainWindow::OnCommand(HWND control)
{
    const auto clicked = std::find_if(std::begin(kControls), std::end(kControls), [&](const Control& button) {
        return button.Kind == ControlKind::PushButton && Controls[button.TabIndex] == control;
    });
    if (clicked == std::end(kControls) || Core.Ended()) {
        return;
    }
    const auto failure = Core.Click(clicked->Name);
    // Whatever the view drew, up to a failure too, is shown before anything is reported.
    InvalidateRect(Hwnd("Picture1"), nullptr, FALSE);
    ShowDescription();
    Speaker.Announce(Window, control, Wide(Core.Announcement()));
    if (failure) {
        UpdateWindow(Hwnd("Picture1"));
        Report(failure);
    }
}

void MainWindow::ShowDescription()
{
    // The picture's window text is the name screen readers give it. Its tooltip shows the same
    // words.
    const Description words = Core.Describe();
    HWND picture = Hwnd("Picture1");
    std::wstring text = Wide(words.Name + ". " + words.Text);
    SetWindowTextW(picture, text.c_str());
    TTTOOLINFOW tool = PictureTool(Window, picture, text.data());
    SendMessageW(Tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void MainWindow::ClearWindowArea()
{
    // The window clips its children, so only its own area is erased.
    RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

void MainWindow::Report(const std::optional<std::string>& failure)
{
    if (!failure) {
        return;
    }
    ExitStatus = 1;
    MessageBoxW(Window, Wide(Core.FailureReport()).c_str(), L"Quorrin", MB_OK | MB_ICONERROR);
    if (Window) {
        DestroyWindow(Window);
    }
}

}  // namespace quorrin
