// Thousands of random clicks, keys and resizes on the window, checking it after every step.
#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "Drainage.h"
#include "MainWindow.h"
#include "PictureBox.h"
#include "Streams.h"

namespace quorrin {
namespace {

unsigned long Setting(const char* name, unsigned long fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::strtoul(value, nullptr, 10) : fallback;
}

// What the window should show, worked out from the clicks alone.
struct Model {
    int SizeToggle = 0;
    int ViewToggle = 0;
    int CellSize = 1;
    int TapsMode = 0;
    QString Captions[3] = {"New random", "Show streams", "New random with taps"};
    enum { Blank, Drainage, Streams } Shown = Blank;

    void Click(int button)  // 0, 1, 2 for Command1, Command2, Command3
    {
        if (button == 1) {
            ViewToggle = 1 - ViewToggle;
            Captions[1] = ViewToggle == 0 ? "Show drainage" : "Show streams";
            Shown = ViewToggle == 0 ? Streams : Drainage;
            return;
        }
        const QString prefix = button == 0 ? "random " : "random with taps ";
        TapsMode = button == 0 ? 0 : 1;
        SizeToggle = 1 - SizeToggle;
        CellSize = SizeToggle == 1 ? 2 : 1;
        Captions[button] = prefix + (SizeToggle == 1 ? "48x48" : "24x24");
        ViewToggle = 1;
        if (button == 0) {
            Captions[1] = "Show streams";
        }
        Shown = Drainage;
    }
};

TEST(Monkey, RandomInputKeepsTheWindowConsistent)
{
    const unsigned long seed = Setting("QUORRIN_MONKEY_SEED", 20261206);
    const unsigned long steps = Setting("QUORRIN_MONKEY_STEPS", 1000);
    std::printf("monkey seed %lu, %lu steps\n", seed, steps);
    SCOPED_TRACE(testing::Message() << "seed " << seed);

    MainWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QPushButton* buttons[3] = {window.findChild<QPushButton*>("Command1"), window.findChild<QPushButton*>("Command2"),
                               window.findChild<QPushButton*>("Command3")};
    auto* picture = window.findChild<PictureBox*>("Picture1");
    const QRect pictureGeometry = picture->geometry();
    const QSize imageSize = picture->Image().size();

    Model model;
    QImage expected = picture->Image().copy();
    std::mt19937 random(static_cast<std::mt19937::result_type>(seed));
    for (unsigned long step = 0; step < steps; ++step) {
        QWidget* focus = window.focusWidget();
        const int action = std::uniform_int_distribution<int>(0, 9)(random);
        const bool drew = [&] {
            if (action < 4) {
                const int button = action % 3;
                QTest::mouseClick(buttons[button], Qt::LeftButton);
                model.Click(button);
                return true;
            }
            if (action < 8) {
                const Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Space, Qt::Key_Return};
                const Qt::Key key = keys[action - 4];
                QTest::keyClick(focus, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
                for (int button = 0; button < 3 && key == Qt::Key_Space; ++button) {
                    if (focus == buttons[button]) {
                        model.Click(button);
                        return true;
                    }
                }
                return false;
            }
            window.resize(std::uniform_int_distribution<int>(200, 900)(random),
                          std::uniform_int_distribution<int>(200, 900)(random));
            return false;
        }();

        const WindowState& state = window.State();
        ASSERT_EQ(state.SizeToggle, model.SizeToggle) << "step " << step;
        ASSERT_EQ(state.ViewToggle, model.ViewToggle) << "step " << step;
        ASSERT_EQ(state.Field.CellSize, model.CellSize) << "step " << step;
        ASSERT_EQ(state.Field.TapsMode, model.TapsMode) << "step " << step;
        for (int button = 0; button < 3; ++button) {
            ASSERT_EQ(buttons[button]->text(), model.Captions[button]) << "step " << step;
        }
        ASSERT_EQ(picture->geometry(), pictureGeometry);
        ASSERT_NE(window.focusWidget(), window.findChild<QWidget*>("Label1"));

        if (drew) {
            // The view of the current field, drawn afresh on a picture of its own.
            RetainedPicture fresh(picture->contentsRect().width(), picture->contentsRect().height());
            fresh.SetColours(picture->palette().color(QPalette::Base).rgb(),
                             picture->palette().color(QPalette::Text).rgb());
            FieldState field = state.Field;
            if (model.Shown == Model::Streams) {
                DrawStreams(field, fresh);
            } else {
                DrawDrainage(field, fresh);
            }
            fresh.Render();
            expected = QImage(reinterpret_cast<const uchar*>(fresh.Pixels()), fresh.PixelWidth(),
                              fresh.PixelHeight(), QImage::Format_RGB32)
                           .copy();
        }
        ASSERT_EQ(picture->Image().size(), imageSize);
        ASSERT_TRUE(picture->Image() == expected) << "step " << step;
    }
}

}  // namespace
}  // namespace quorrin
