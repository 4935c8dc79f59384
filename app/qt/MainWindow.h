// The program's one window: the picture, three buttons and a label at fixed positions.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "Handlers.h"
#include "PictureBox.h"
#include "RandomSource.h"

namespace quorrin {

class MainWindow final : public QWidget, private ButtonCaptions {
    Q_OBJECT

public:
    // The picture's logical extent can be set for tests; the program uses the default.
    explicit MainWindow(float logicalExtent = RetainedPicture::kLogicalExtent);

    const WindowState& State() const { return Clicks.State(); }
    // Clears the window's own client area, outside its controls.
    void ClearWindowArea();

signals:
    // A click ended in the program's fatal error, already shown on the picture.
    void FatalErrorRaised(const QString& message);

private:
    void SetCaption(Button button, std::string_view caption) override;
    // Runs one click's handler and shows its picture.
    void Run(void (Handlers::*handler)());
    // Raises the fatal error once; no click runs after it.
    void Fail(const QString& message);

    // Members are declared, and so the controls created, in the window's creation order.
    QPushButton* Command3;
    QPushButton* Command2;
    QPushButton* Command1;
    PictureBox* Picture1;
    QLabel* Label1;

    SeededRandomSource Random;
    Handlers Clicks;
    bool Failed = false;
};

}  // namespace quorrin
