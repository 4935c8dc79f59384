// Builds the controls from the window's table, in pixels of 15 twips, and wires them to the
// program.
#include "MainWindow.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QRegion>
#include <QStyleOptionButton>
#include <QToolTip>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "Window.h"

namespace quorrin {
namespace {

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QRect Geometry(const TwipBox& box) { return {Pixels(box.Left), Pixels(box.Top), Pixels(box.Width), Pixels(box.Height)}; }

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

// The caption on the button, in the largest size of the default family at which it fits the
// button's room for text.
void ShowCaption(QPushButton* button, const QString& caption)
{
    QStyleOptionButton option;
    option.initFrom(button);
    const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    button->setFont(FittingFont(QApplication::font(), caption, room.size()));
    button->setText(caption);
}

// The text in lines no wider than the width in the tooltips' font: a tooltip shows plain text on
// one line, however long.
QString Wrapped(const QString& text, int width)
{
    const QFontMetrics metrics(QToolTip::font());
    QStringList lines(QString{});
    for (const QString& word : text.split(QLatin1Char(' '))) {
        const QString longer = lines.last().isEmpty() ? word : lines.last() + QLatin1Char(' ') + word;
        if (lines.last().isEmpty() || metrics.horizontalAdvance(longer) <= width) {
            lines.last() = longer;
        } else {
            lines << word;
        }
    }
    return lines.join(QLatin1Char('\n'));
}

// Screen readers see the window as a frame, the picture as an image, and the announcement as a
// notification, which they speak whenever it is shown, wherever the focus is.
QAccessibleInterface* Accessible(const QString& key, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && widget->objectName() == QLatin1String("Announcement")) {
        return new QAccessibleWidget(widget, QAccessible::Notification);
    }
    if (widget && key == QLatin1String("quorrin::MainWindow")) {
        return new QAccessibleWidget(widget, QAccessible::Window);
    }
    if (widget && key == QLatin1String("quorrin::PictureBox")) {
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    }
    return nullptr;
}

// Qt 6.4 tells AT-SPI a button's new name in a form Orca cannot read: it logs an error and says
// nothing. The announcement of each click says the new caption instead, so those events go no
// further; every other event reaches screen readers as before.
void Update(QAccessibleEvent* event)
{
    if (event->type() == QAccessible::NameChanged && qobject_cast<QAbstractButton*>(event->object())) {
        return;
    }
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(Update);
}

}  // namespace

MainWindow::MainWindow()
{
    static const bool accessible = (QAccessible::installFactory(Accessible), QAccessible::installUpdateHandler(Update), true);
    Q_UNUSED(accessible);
    setWindowTitle(Text(kTitle));
    QIcon icon;
    for (const int size : {QUORRIN_ICON_SIZES}) {
        icon.addFile(QStringLiteral(":/icons/quorrin-%1.png").arg(size), QSize(size, size));
    }
    setWindowIcon(icon);
    resize(Pixels(kClientArea.Width), Pixels(kClientArea.Height));

    std::vector<std::pair<int, QWidget*>> tabOrder;
    for (const Control& control : kControls) {
        QWidget* widget = nullptr;
        switch (control.Kind) {
        case ControlKind::PushButton: {
            auto* button = new QPushButton(this);
            // Enter presses the focused button, as in a dialog; no button is the default one, so
            // Enter on the picture presses none.
            button->setAutoDefault(true);
            connect(button, &QPushButton::clicked, this, [this, name = control.Name] { Click(name); });
            widget = button;
            break;
        }
        case ControlKind::Picture:
            widget = Picture1 = new PictureBox(Core.Picture(), kPictureFrame, this);
            break;
        case ControlKind::Label:
            widget = Label1 = new QLabel(Text(control.Text), this);
            break;
        }
        widget->setObjectName(Text(control.Name));
        widget->setGeometry(Geometry(control.Box));
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            ShowCaption(button, Text(control.Text));
        }
        if (widget->focusPolicy() != Qt::NoFocus) {
            tabOrder.emplace_back(control.TabIndex, widget);
        }
    }
    Core.ShowCaptionsWith([this](std::string_view button, const std::string& caption) {
        ShowCaption(findChild<QPushButton*>(Text(button), Qt::FindDirectChildrenOnly), QString::fromStdString(caption));
    });

    std::sort(tabOrder.begin(), tabOrder.end());
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
    }
    // Screen readers read the controls in the order they were last raised: as on the screen, top
    // to bottom and left to right. The buttons end above the label, which they overlap.
    std::vector<Control> onScreen(std::begin(kControls), std::end(kControls));
    std::sort(onScreen.begin(), onScreen.end(), [](const Control& a, const Control& b) {
        return std::pair(a.Box.Top, a.Box.Left) < std::pair(b.Box.Top, b.Box.Left);
    });
    for (const Control& control : onScreen) {
        findChild<QWidget*>(Text(control.Name), Qt::FindDirectChildrenOnly)->raise();
    }

    Core.Picture().SetWindowAreaClearer([this] { ClearWindowArea(); });
    Picture1->SetCursorSource([this] { return Core.CursorBox(); });
    connect(Picture1, &PictureBox::ExploreKeyPressed, this, [this](ExploreKey key) {
        if (Core.Explore(key)) {
            Picture1->update();
            Announce();
        }
    });
    connect(Picture1, &PictureBox::RenderFailed, this,
            [this](const QString& message) { Report(Core.Fail(message.toStdString())); });

    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(FittingFont(Label1->font(), Label1->text(), Label1->size()));
    // The label's last pixel row lies under Command2, and the button is drawn over it.
    const QRect command2 = findChild<QPushButton*>(QStringLiteral("Command2"), Qt::FindDirectChildrenOnly)->geometry();
    Label1->setMask(QRegion(Label1->rect()).subtracted(command2.translated(-Label1->pos())));

    Report(Core.Start());
    ShowDescription();
    Picture1->setFocus();
}

void MainWindow::ClearWindowArea()
{
    QRegion own(rect());
    for (const QWidget* control : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        own -= control->geometry();
    }
    update(own);
}

void MainWindow::Click(std::string_view button)
{
    const auto failure = Core.Click(button);
    // Whatever the view drew, up to a failure too, is shown before anything is reported.
    Picture1->update();
    ShowDescription();
    Announce();
    Report(failure);
}

void MainWindow::Announce()
{
    // Each announcement is a notification of its own, which takes no room on the screen and whose
    // name never changes: a screen reader reads the name when it comes to the event, which may be
    // after the next key. The last few are kept for it.
    auto* said = new QWidget(this);
    said->setObjectName(QStringLiteral("Announcement"));
    said->setGeometry(0, 0, 0, 0);
    said->setAccessibleName(QString::fromStdString(Core.Announcement()));
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Qt 6.8 and later tell screen readers an announcement as such (Orca speaks it from 45.2 on).
    QAccessibleAnnouncementEvent announced(this, said->accessibleName());
    QAccessible::updateAccessibility(&announced);
#else
    said->show();
#endif
    Announcements.push_back(said);
    if (Announcements.size() > 4) {
        delete Announcements.front();
        Announcements.pop_front();
    }
}

void MainWindow::ShowDescription()
{
    // Setting them tells screen readers of the change.
    const Description description = Core.Describe();
    Picture1->setAccessibleName(QString::fromStdString(description.Name));
    Picture1->setAccessibleDescription(QString::fromStdString(description.Text));
    Picture1->setToolTip(Wrapped(QString::fromStdString(description.Name + ". " + description.Text), Picture1->width()));
}

void MainWindow::Report(const std::optional<std::string>& failure)
{
    if (!failure) {
        return;
    }
    const QString message = QString::fromStdString(*failure);
    std::fprintf(stderr, "quorrin: fatal error: %s\n", qUtf8Printable(message));
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
        QMessageBox::critical(this, QApplication::applicationName(), QString::fromStdString(Core.FailureReport()));
    }
    QCoreApplication::exit(EXIT_FAILURE);
}

}  // namespace quorrin
