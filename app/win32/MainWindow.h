// The program's one window, built from the window's table: the picture, three buttons and a label.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Announcer.h"
#include "PictureBox.h"
#include "Program.h"
#include "Window.h"

namespace quorrin {

class MainWindow final {
public:
    MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow();

    // Creates the window, shows it and delivers its messages until it is closed; returns the
    // program's exit status: 1 after a fatal error, else 0.
    int Run(HINSTANCE instance, int show);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void OnCommand(HWND control);
    // A control took the keyboard focus.
    void OnFocus(HWND control);
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void OnSysColorChange();
    // Places the controls from their twips at the window's dpi, in the system's message font.
    void Layout();
    // Gives the control the largest size of the message font at which its text fits.
    void FitFont(const Control& control);

    void ClearWindowArea();
    // The picture in words, for screen readers and in its tooltip.
    void ShowDescription();
    // Reports the program's first failure and ends the program.
    void Report(const std::optional<std::string>& failure);

    HWND Hwnd(std::string_view name) const { return Controls[static_cast<std::size_t>(ControlNamed(name).TabIndex)]; }
    // The push buttons, in the table's order.
    std::vector<HWND> Buttons() const;

    HWND Window = nullptr;
    // The controls, in tab order.
    std::array<HWND, std::size(kControls)> Controls{};
    HWND Focused = nullptr;
    LOGFONTW MessageFont{};
    // Each control's font, in tab order; none for the picture.
    std::array<HFONT, std::size(kControls)> Fonts{};
    // The picture's tooltip, which shows its words to those who hover it, in the status font.
    HWND Tip = nullptr;
    HFONT TipFont = nullptr;
    UINT Dpi = 96;

    Program Core;
    PictureBox Picture;
    Announcer Speaker;
    // A failure met where no report can be made (painting, creation), reported right after.
    std::string PendingFailure;
    int ExitStatus = 0;
};

}  // namespace quorrin
