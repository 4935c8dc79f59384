// Thousands of random clicks, keys and resizes on the window, each step checked against the core's
// own program fed the clicks and explore keys that the step made.
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "MainWindow.h"
#include "PictureBox.h"

namespace quorrin {
namespace {

TEST(Monkey, RandomInputKeepsTheWindowAsTheCoreHasIt)
{
    const int seed = qEnvironmentVariableIsSet("QUORRIN_MONKEY_SEED") ? qEnvironmentVariableIntValue("QUORRIN_MONKEY_SEED") : 20261206;
    const int steps = qEnvironmentVariableIsSet("QUORRIN_MONKEY_STEPS") ? qEnvironmentVariableIntValue("QUORRIN_MONKEY_STEPS") : 1000;
    std::printf("monkey seed %d, %d steps\n", seed, steps);
    SCOPED_TRACE(testing::Message() << "seed " << seed);

    MainWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const char* const names[3] = {"Command1", "Command2", "Command3"};
    QPushButton* buttons[3] = {window.findChild<QPushButton*>(names[0]), window.findChild<QPushButton*>(names[1]),
                               window.findChild<QPushButton*>(names[2])};
    auto* picture = window.findChild<PictureBox*>("Picture1");

    Program model;
    RetainedPicture& core = model.Picture();
    core.SetColours(picture->palette().color(QPalette::Base).rgb(), picture->palette().color(QPalette::Text).rgb());
    model.Start();

    std::mt19937 draw(static_cast<std::mt19937::result_type>(seed));
    for (int step = 0; step < steps; ++step) {
        QWidget* focus = window.focusWidget();
        const int action = std::uniform_int_distribution<int>(0, 12)(draw);
        // Then the explore keys: on the picture, Left moves west, Page Up upstream, End to the end.
        const Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Space, Qt::Key_Return, Qt::Key_Left, Qt::Key_PageUp, Qt::Key_End};
        const ExploreKey moves[] = {ExploreKey::West, ExploreKey::Upstream, ExploreKey::End};
        if (action < 4) {
            QTest::mouseClick(buttons[action % 3], Qt::LeftButton);
            model.Click(names[action % 3]);
        } else if (action < 11) {
            const Qt::Key key = keys[action - 4];
            QTest::keyClick(focus, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
            for (int b = 0; b < 3; ++b) {
                if ((key == Qt::Key_Space || key == Qt::Key_Return) && focus == buttons[b]) model.Click(names[b]);
            }
            if (action >= 8 && focus == picture) model.Explore(moves[action - 8]);
        } else {
            window.resize(std::uniform_int_distribution<int>(200, 900)(draw), std::uniform_int_distribution<int>(200, 900)(draw));
        }
        ASSERT_TRUE(window.State() == model.State()) << "step " << step;
        for (int b = 0; b < 3; ++b) ASSERT_EQ(buttons[b]->text().toStdString(), model.Caption(names[b])) << "step " << step;
        const auto said = window.findChildren<QWidget*>("Announcement", Qt::FindDirectChildrenOnly);
        ASSERT_EQ(said.isEmpty() ? std::string() : said.last()->accessibleName().toStdString(), model.Announcement()) << "step " << step;
        ASSERT_TRUE(picture->Image() == QImage(reinterpret_cast<const uchar*>(core.Pixels()), core.PixelWidth(),
                                               core.PixelHeight(), QImage::Format_RGB32)) << "step " << step;
    }
}

}  // namespace
}  // namespace quorrin
