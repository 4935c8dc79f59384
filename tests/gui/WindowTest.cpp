// The window in process: reading order, label font, the picture as painted, the fatal error.
#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <gtest/gtest.h>

#include <cstdio>

#include "MainWindow.h"
#include "PictureOfClicks.h"
#include "Window.h"

namespace quorrin {
namespace {

const QRect kDrawingArea(kPictureFrame, kPictureFrame, kDrawingWidth, kDrawingHeight);

QPushButton* Button(QWidget& window, const char* name) { return window.findChild<QPushButton*>(name); }

// Runs as it is and again on a screen of twice the density (QT_SCALE_FACTOR=2).
TEST(Window, ControlsReadInOrderAndThePictureIsTheCores)
{
    MainWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(window.windowIcon().availableSizes().size(), std::ssize({QUORRIN_ICON_SIZES}));
    // The controls in the order screen readers read them: as on the screen.
    QStringList reading;
    for (const QWidget* child : window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        reading << child->objectName();
    }
    EXPECT_EQ(reading, QStringList({"Picture1", "Label1", "Command1", "Command2", "Command3"}));
    // The label's text fits it whole, centred, in the default family.
    const auto* label = window.findChild<QLabel*>("Label1");
    const QFontMetricsF metrics(label->font());
    EXPECT_EQ(label->alignment(), Qt::AlignCenter);
    EXPECT_EQ(label->font().family(), QApplication::font().family());
    EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width());
    EXPECT_LE(metrics.height(), label->height());
    // The picture as painted is the core's at the screen's density.
    QTest::mouseClick(Button(window, "Command1"), Qt::LeftButton);
    QTest::mouseClick(Button(window, "Command2"), Qt::LeftButton);
    const auto shown = [&window] {
        const QImage image = window.findChild<QWidget*>("Picture1")->grab(kDrawingArea).toImage().convertToFormat(QImage::Format_RGB32);
        return test::PlainPbm(reinterpret_cast<const std::uint32_t*>(image.constBits()), image.width(), image.height());
    };
    std::string core = test::PictureOfClicks("12", window.devicePixelRatioF());
    EXPECT_TRUE(shown() == core);
    // The tooltip tells the picture in words, as screen readers do, in lines no wider than it.
    const QWidget& picture = *window.findChild<QWidget*>("Picture1");
    const std::string words = test::WordsOfClicks("12");
    EXPECT_EQ(picture.toolTip().replace('\n', ' ').toStdString(), words.substr(0, words.find('\n')));
    for (const QString& line : picture.toolTip().split('\n')) {
        EXPECT_LE(QFontMetrics(QToolTip::font()).horizontalAdvance(line), picture.width()) << line.toStdString();
    }
    // A dark palette recolours it: paper and ink trade places.
    QPalette dark = window.palette();
    dark.setColor(QPalette::Base, QColor::fromRgb(test::kInk));
    dark.setColor(QPalette::Text, QColor::fromRgb(test::kPaper));
    window.setPalette(dark);
    for (auto pixel = core.begin() + static_cast<std::ptrdiff_t>(core.find('\n', 3)); pixel != core.end(); ++pixel) {
        *pixel = *pixel == '0' ? '1' : *pixel == '1' ? '0' : *pixel;
    }
    EXPECT_TRUE(shown() == core);
    // Every caption the clicks give a button fits the button's room for text.
    for (const char* clicked : {"Command3", "Command3", "Command1", "Command2"}) {
        QTest::mouseClick(Button(window, clicked), Qt::LeftButton);
        for (const QPushButton* button : window.findChildren<QPushButton*>()) {
            QStyleOptionButton option;
            option.initFrom(button);
            EXPECT_LE(QFontMetricsF(button->font()).horizontalAdvance(button->text()),
                      button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width())
                << button->text().toStdString();
        }
    }
}

// A paint's failure is reported once, after the paint has returned, and ends the program with
// status 1.
TEST(Window, FatalErrorIsReportedOnceAndEndsTheProgram)
{
    // A screen of more device pixels per pixel than the picture can be shown at; the program in
    // the death test starts on it. Painting the picture into a small image spares a window's worth
    // of pixels at that density.
    qputenv("QT_SCALE_FACTOR", "17");
    EXPECT_EXIT(
        {
            MainWindow dense;
            QTimer::singleShot(0, &dense, [&dense] {
                QImage image(8, 8, QImage::Format_RGB32);
                for (int paint = 1; paint <= 2; ++paint) {
                    dense.findChild<QWidget*>("Picture1")->render(&image);
                    std::fprintf(stderr, "painted %d\n", paint);
                }
            });
            std::exit(QApplication::exec());
        },
        ::testing::ExitedWithCode(1), "painted 1\npainted 2\nquorrin: fatal error: a screen density of 17 cannot be shown\n$");
    qunsetenv("QT_SCALE_FACTOR");
}

}  // namespace
}  // namespace quorrin
