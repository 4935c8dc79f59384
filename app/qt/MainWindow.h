// The program's one window, built from the window's table: the picture, three buttons and a label.
#pragma once

#include <QLabel>
#include <QWidget>

#include <deque>
#include <string_view>

#include "PictureBox.h"
#include "Program.h"

namespace quorrin {

class MainWindow final : public QWidget {
    Q_OBJECT

public:
    MainWindow();

    // Clears the window's own client area, outside its controls.
    void ClearWindowArea();

private:
    void Click(std::string_view button);
    // The picture in words, for screen readers and its tooltip.
    void ShowDescription();
    // Shows what the last click or explore key did, for screen readers to speak.
    void Announce();
    // Reports the program's first failure and ends the event loop.
    void Report(const std::optional<std::string>& failure);

    Program Core;
    PictureBox* Picture1 = nullptr;
    QLabel* Label1 = nullptr;
    // What the last clicks and explore keys did, in words, each shown once for screen readers to
    // speak; the newest last.
    std::deque<QWidget*> Announcements;
};

}  // namespace quorrin
