// Builds the controls in twips converted at 15 per 96-dpi pixel, and wires them to the handlers.
#include "MainWindow.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QIcon>
#include <QRegion>

#include <cmath>


namespace quorrin {
namespace {

// Twips are 1/1440 inch: 15 of them make one device-independent pixel at 96 dpi.
int Pixels(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

QRect TwipRect(int left, int top, int width, int height)
{
    return {Pixels(left), Pixels(top), Pixels(width), Pixels(height)};
}

QRect PictureGeometry() { return TwipRect(360, 360, 6891, 6641); }

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, QRect geometry)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    // Enter presses the focused button, as in a dialog; no button is the default one, so Enter
    // on the picture presses none.
    button->setAutoDefault(true);
    button->setDefault(false);
    return button;
}

// The largest size of the default family at which the text fits the box whole.
QFont FittingFont(QFont font, const QString& text, QSize box)
{
    const auto fits = [&](const QFont& candidate) {
        const QFontMetricsF metrics(candidate);
        return metrics.horizontalAdvance(text) <= box.width() && metrics.height() <= box.height();
    };
    for (int pixels = QFontInfo(font).pixelSize() - 1; !fits(font) && pixels > 1; --pixels) {
        font.setPixelSize(pixels);
    }
    return font;
}

}  // namespace

MainWindow::MainWindow(float logicalExtent)
    : Command3(MakeButton(this, "Command3", "New random with taps", TwipRect(5040, 7560, 2175, 375))),
      Command2(MakeButton(this, "Command2", "Show streams", TwipRect(2880, 7560, 1815, 375))),
      Command1(MakeButton(this, "Command1", "New random", TwipRect(360, 7560, 2175, 375))),
      Picture1(new PictureBox(PictureGeometry().size(), logicalExtent, this)),
      Label1(new QLabel(QStringLiteral("Save on clipboard by Alt+PrtSc"), this)),
      Clicks(Picture1->Surface(), *this, Random)
{
    setWindowTitle(QStringLiteral("Random discharge directions causing river systems Arvelt"));
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/quorrin-%1.png").arg(size), QSize(size, size));
    }
    setWindowIcon(icon);
    resize(Pixels(7875), Pixels(8250));

    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->move(PictureGeometry().topLeft());
    Picture1->setAccessibleName(QStringLiteral("Drainage picture"));
    Picture1->setAccessibleDescription(
        QStringLiteral("The random field: arrows for each cell's drainage, or the streams they form"));
    Picture1->Retained().SetWindowAreaClearer([this] { ClearWindowArea(); });
    connect(Picture1, &PictureBox::RenderFailed, this, &MainWindow::Fail);

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(TwipRect(2520, 7200, 2535, 375));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(FittingFont(Label1->font(), Label1->text(), Label1->size()));
    // The label's last pixel row lies under Command2, and the button is drawn over it.
    Label1->setMask(QRegion(Label1->rect()).subtracted(Command2->geometry().translated(-Label1->pos())));

    setTabOrder(Picture1, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);

    connect(Command1, &QPushButton::clicked, this, [this] { Run(&Handlers::OnNewRandom); });
    connect(Command2, &QPushButton::clicked, this, [this] { Run(&Handlers::OnToggleView); });
    connect(Command3, &QPushButton::clicked, this, [this] { Run(&Handlers::OnNewRandomWithTaps); });

    Clicks.OnWindowLoad();
    Picture1->setFocus();
}

void MainWindow::SetCaption(Button button, std::string_view caption)
{
    QPushButton* const buttons[] = {Command1, Command2, Command3};
    buttons[static_cast<int>(button)]->setText(
        QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
}

void MainWindow::ClearWindowArea()
{
    QRegion own(rect());
    for (const QWidget* control : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        own -= control->geometry();
    }
    update(own);
}

void MainWindow::Run(void (Handlers::*handler)())
{
    if (Failed) {
        return;
    }
    const auto failure = RunAndRender([this, handler] { (Clicks.*handler)(); }, Picture1->Retained());
    // Whatever the view drew, up to a failure too, is shown before anything is reported.
    Picture1->update();
    if (failure) {
        Fail(QString::fromStdString(*failure));
    }
}

void MainWindow::Fail(const QString& message)
{
    if (!Failed) {
        Failed = true;
        emit FatalErrorRaised(message);
    }
}

}  // namespace quorrin
