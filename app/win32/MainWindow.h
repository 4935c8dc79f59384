// The program's one window: the picture, three buttons and a label at fixed positions.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "Handlers.h"
#include "PictureBox.h"
#include "RandomSource.h"

namespace quorrin {

class MainWindow final : private ButtonCaptions {
public:
    MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow() override;

    // Creates the window, shows it and delivers its messages until it is closed; returns the
    // program's exit status: 1 after a fatal error, else 0.
    int Run(HINSTANCE instance, int show);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void OnCommand(int id);
    // A control took the keyboard focus.
    void OnFocus(HWND control);
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void OnSysColorChange();
    // Places the controls from their twips at the window's dpi, in the system's message font.
    void Layout();
    void FitLabelFont(LOGFONTW font);

    void SetCaption(Button button, std::string_view caption) override;
    void ClearWindowArea();
    // Runs one click's handler and shows its picture.
    void Click(void (Handlers::*handler)());
    // Reports the fatal error once and ends the program; no click runs after it.
    void Fail(const std::string& message);

    HWND Window = nullptr;
    // The controls, declared in the window's creation order.
    HWND Command3 = nullptr;
    HWND Command2 = nullptr;
    HWND Command1 = nullptr;
    HWND Picture1 = nullptr;
    HWND Label1 = nullptr;
    HWND Focused = nullptr;
    HFONT Font = nullptr;
    HFONT LabelFont = nullptr;
    UINT Dpi = 96;

    PictureBox Picture;
    SeededRandomSource Random;
    Handlers Clicks;
    // A failure met where no report can be made (painting, creation), reported right after.
    std::string PendingFailure;
    bool Failed = false;
    int ExitStatus = 0;
};

}  // namespace quorrin
