// The window in process: layout, focus, clicks, and the picture's pixels.
#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "FatalErrorReport.h"
#include "MainWindow.h"

namespace quorrin {
namespace {

constexpr int kArea = 455;       // drawing area width in pixels
constexpr int kAreaHeight = 439;
constexpr int kFrame = 2;

// The pixel column and row of a logical point, as the picture's linear mapping places it.
int Column(double x) { return static_cast<int>(std::floor(x * kArea / 51.0)); }
int Row(double y) { return static_cast<int>(std::floor(y * kAreaHeight / 51.0)); }

class WindowTest : public ::testing::Test {
protected:
    WindowTest()
    {
        Window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Window));
        Window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Window));
    }

    template <typename T>
    T* Control(const char* name) { return Window.findChild<T*>(QString::fromLatin1(name)); }
    QPushButton* Button(const char* name) { return Control<QPushButton>(name); }

    // The drawing area inside the picture's frame, in device-independent pixels.
    QImage Picture()
    {
        QWidget* picture = Control<QWidget>("Picture1");
        return picture->grab(QRect(kFrame, kFrame, kArea, kAreaHeight)).toImage();
    }

    MainWindow Window;
};

bool Dark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

TEST_F(WindowTest, ControlsStandWhereTheLayoutPutsThem)
{
    EXPECT_EQ(Window.windowTitle(), "Random discharge directions causing river systems Arvelt");
    EXPECT_EQ(Window.size(), QSize(525, 550));

    struct Expected {
        const char* Name;
        QRect Geometry;
        QString Text;
    };
    const Expected controls[] = {
        {"Command3", {336, 504, 145, 25}, "New random with taps"},
        {"Command2", {192, 504, 121, 25}, "Show streams"},
        {"Command1", {24, 504, 145, 25}, "New random"},
        {"Picture1", {24, 24, 459, 443}, {}},
        {"Label1", {168, 480, 169, 25}, "Save on clipboard by Alt+PrtSc"},
    };
    QList<QWidget*> created = Window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(created.size(), 5);
    for (int i = 0; i < 5; ++i) {
        const Expected& control = controls[i];
        SCOPED_TRACE(control.Name);
        EXPECT_EQ(created[i]->objectName(), control.Name);  // in creation order
        EXPECT_EQ(created[i]->geometry(), control.Geometry);
        if (auto* button = qobject_cast<QPushButton*>(created[i])) {
            EXPECT_EQ(button->text(), control.Text);
            EXPECT_FALSE(button->isDefault() || button->autoDefault());
        } else if (auto* label = qobject_cast<QLabel*>(created[i])) {
            EXPECT_EQ(label->text(), control.Text);
            EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
        }
    }

    // Focus starts on the picture, and Tab walks the picture and the buttons in order.
    QWidget* focus = QApplication::focusWidget();
    for (const char* name : {"Picture1", "Command1", "Command2", "Command3", "Picture1"}) {
        ASSERT_NE(focus, nullptr);
        EXPECT_EQ(focus->objectName(), name);
        QTest::keyClick(focus, Qt::Key_Tab);
        focus = QApplication::focusWidget();
    }
    EXPECT_FALSE(Control<QWidget>("Picture1")->accessibleName().isEmpty());
    EXPECT_FALSE(Control<QWidget>("Picture1")->accessibleDescription().isEmpty());
}

TEST_F(WindowTest, LabelTextFitsAtTheLargestSizeOfTheDefaultFamily)
{
    QLabel* label = Control<QLabel>("Label1");
    const auto fits = [label](const QFont& font) {
        const QFontMetricsF metrics(font);
        return metrics.horizontalAdvance(label->text()) <= label->width() &&
               metrics.height() <= label->height();
    };
    EXPECT_EQ(label->font().family(), QApplication::font().family());
    EXPECT_TRUE(fits(label->font()));
    QFont larger = label->font();
    larger.setPixelSize(QFontInfo(label->font()).pixelSize() + 1);
    EXPECT_FALSE(fits(larger));
}

TEST_F(WindowTest, ClicksSetTheCaptionsAndEnterOnThePictureDoesNothing)
{
    const QImage blank = Picture();
    QTest::keyClick(Control<QWidget>("Picture1"), Qt::Key_Return);
    EXPECT_EQ(Picture(), blank);
    EXPECT_EQ(Window.State().ViewToggle, 0);

    struct Step {
        const char* Clicked;
        const char* Command1;
        const char* Command2;
        const char* Command3;
    };
    const Step steps[] = {
        {"Command1", "random 48x48", "Show streams", "New random with taps"},
        {"Command2", "random 48x48", "Show drainage", "New random with taps"},
        {"Command3", "random 48x48", "Show drainage", "random with taps 24x24"},
        {"Command2", "random 48x48", "Show drainage", "random with taps 24x24"},
        {"Command2", "random 48x48", "Show streams", "random with taps 24x24"},
        {"Command3", "random 48x48", "Show streams", "random with taps 48x48"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.Clicked);
        QTest::mouseClick(Button(step.Clicked), Qt::LeftButton);
        EXPECT_EQ(Button("Command1")->text(), step.Command1);
        EXPECT_EQ(Button("Command2")->text(), step.Command2);
        EXPECT_EQ(Button("Command3")->text(), step.Command3);
    }
    // Space on the focused button clicks it.
    Button("Command1")->setFocus();
    QTest::keyClick(Button("Command1"), Qt::Key_Space);
    EXPECT_EQ(Button("Command1")->text(), "random 24x24");
}

TEST_F(WindowTest, PictureShowsTheFieldsFrameAndEveryCellsGlyph)
{
    QTest::mouseClick(Button("Command1"), Qt::LeftButton);  // a coarse field, cell size 2
    const QImage picture = Picture();
    const int s = 2;

    // Vertical lines at the column borders and the right edge, horizontal ones at the row
    // borders and the bottom edge, each one pixel wide and over the field's full length.
    std::vector<double> borders;
    for (int c = 2 * s; c <= 51 - 2 * s; c += s) {
        borders.push_back(c - 0.5 * s);
    }
    borders.push_back(51 - 1.5 * s);
    for (const double at : borders) {
        for (int y = Row(1.5 * s); y <= Row(51 - 1.5 * s); ++y) {
            ASSERT_TRUE(Dark(picture, Column(at), y)) << "vertical line at " << at << ", row " << y;
        }
        for (int x = Column(1.5 * s); x <= Column(51 - 1.5 * s); ++x) {
            ASSERT_TRUE(Dark(picture, x, Row(at))) << "horizontal line at " << at << ", column " << x;
        }
    }
    EXPECT_FALSE(Dark(picture, Column(1.5 * s) - 1, Row(25)));
    EXPECT_FALSE(Dark(picture, Column(51 - 1.5 * s) + 1, Row(25)));

    // Each cell's stem runs from its centre in its direction, and nowhere else.
    const auto& grid = Window.State().Field.DirectionGrid;
    const std::pair<int, int> steps[] = {{0, -1}, {0, 1}, {1, 0}, {-1, 0}};
    for (int x = 2 * s; x <= 51 - 2 * s; x += s) {
        for (int y = 2 * s; y <= 51 - 2 * s; y += s) {
            const int direction = static_cast<int>(grid.At(x, y)) - 1;  // North, South, East, West
            ASSERT_GE(direction, 0);
            for (int d = 0; d < 4; ++d) {
                const auto [dx, dy] = steps[d];
                const double reach = d == direction ? 0.25 * s : 0.15 * s;
                EXPECT_EQ(Dark(picture, Column(x + reach * dx), Row(y + reach * dy)), d == direction)
                    << "cell " << x << "," << y << " towards " << d;
            }
        }
    }
}

TEST_F(WindowTest, ResizingMovesNothingAndKeepsThePicture)
{
    QTest::mouseClick(Button("Command1"), Qt::LeftButton);
    const QImage generated = Picture();
    const QRect geometry = Control<QWidget>("Picture1")->geometry();
    Window.resize(800, 300);
    QApplication::processEvents();
    EXPECT_EQ(Control<QWidget>("Picture1")->geometry(), geometry);
    EXPECT_EQ(Picture(), generated);
}

TEST_F(WindowTest, FatalErrorIsRaisedOnceWithTheDrawingKept)
{
    MainWindow beyond(60.0f);  // an extent whose cells leave the grid
    QSignalSpy raised(&beyond, &MainWindow::FatalErrorRaised);
    auto* command1 = beyond.findChild<QPushButton*>(QStringLiteral("Command1"));
    QTest::mouseClick(command1, Qt::LeftButton);
    QTest::mouseClick(command1, Qt::LeftButton);
    ASSERT_EQ(raised.count(), 1);
    EXPECT_TRUE(raised.front().front().toString().contains("outside 0..50"));

    // Lines drawn before the failure are on the picture: the frame's first edge among them.
    QWidget* picture = beyond.findChild<QWidget*>(QStringLiteral("Picture1"));
    const QImage image = picture->grab(QRect(kFrame, kFrame, kArea, kAreaHeight)).toImage();
    const int rightEdge = static_cast<int>(std::floor((60 - 3) * kArea / 60.0));
    EXPECT_TRUE(Dark(image, rightEdge, kAreaHeight / 2));
}

TEST(FatalErrorReport, EndsTheProgramWithANonZeroStatus)
{
    EXPECT_EXIT(
        {
            MainWindow beyond(60.0f);
            EndProgramOnFatalError(beyond);
            beyond.show();
            // The click arrives from the running event loop, as a user's would.
            QTimer::singleShot(0, &beyond, [&beyond] {
                QTest::mouseClick(beyond.findChild<QPushButton*>(QStringLiteral("Command3")), Qt::LeftButton);
            });
            std::exit(QApplication::exec());
        },
        ::testing::ExitedWithCode(1), "quorrin: fatal error: grid index 52 lies outside 0..50\n$");
}

TEST(HighDensity, PictureIsRasterisedAtTheScreensRatio)
{
    MainWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const qreal ratio = window.devicePixelRatioF();
    if (ratio != 2.0) {
        GTEST_SKIP() << "runs with QT_SCALE_FACTOR=2";
    }
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    auto* picture = window.findChild<PictureBox*>(QStringLiteral("Picture1"));
    const QImage image = picture->grab(QRect(kFrame, kFrame, kArea, kAreaHeight)).toImage();
    EXPECT_EQ(picture->Image().size(), QSize(910, 878));
    EXPECT_EQ(image.size(), QSize(910, 878));
    // The frame's right edge at logical 48 is one device pixel wide.
    const int row = 439;
    const int column = static_cast<int>(std::floor(48 * 910 / 51.0));
    EXPECT_TRUE(Dark(image, column, row));
    EXPECT_FALSE(Dark(image, column - 1, row));
    EXPECT_FALSE(Dark(image, column + 1, row));
}

}  // namespace
}  // namespace quorrin
