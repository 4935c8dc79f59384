// Showing the retained picture, crisp at the screen's density, with a visible keyboard focus.
#include "PictureBox.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPainter>

#include "FatalError.h"

namespace quorrin {

PictureBox::PictureBox(RetainedPicture& picture, int frame, QWidget* parent) : QFrame(parent), Picture(picture)
{
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setLineWidth(frame);
    setFocusPolicy(Qt::StrongFocus);
    TakeColours();
}

QImage PictureBox::Image() const
{
    return QImage(reinterpret_cast<const uchar*>(Picture.Pixels()), Picture.PixelWidth(), Picture.PixelHeight(),
                  Picture.PixelWidth() * 4, QImage::Format_RGB32);
}

void PictureBox::TakeColours()
{
    // QImage's RGB32 pixels are the core's 32-bit values as they are.
    Picture.SetColours(palette().color(QPalette::Base).rgb(), palette().color(QPalette::Text).rgb());
}

void PictureBox::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange) {
        TakeColours();
        update();
    }
    QFrame::changeEvent(event);
}

void PictureBox::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const char* name = key == Qt::Key_Up ? "ArrowUp" : key == Qt::Key_Down ? "ArrowDown" : key == Qt::Key_Left ? "ArrowLeft"
                     : key == Qt::Key_Right ? "ArrowRight" : key == Qt::Key_PageDown ? "PageDown"
                     : key == Qt::Key_PageUp ? "PageUp" : key == Qt::Key_Home ? "Home" : key == Qt::Key_End ? "End" : "";
    const Qt::KeyboardModifiers others = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (const auto move = ExploreKeyFor(name, event->modifiers() & Qt::ShiftModifier, others != Qt::NoModifier)) {
        emit ExploreKeyPressed(*move);
    } else {
        QFrame::keyPressEvent(event);
    }
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    // A move to a screen of another density rasterises the kept segments again; no view runs.
    try {
        Picture.SetScale(devicePixelRatioF());
        Picture.Render();
    } catch (const FatalError& error) {
        // Reported once the paint has returned: a dialog, or the end of the program, has no
        // place inside a paint.
        QMetaObject::invokeMethod(
            this, [this, message = QString::fromUtf8(error.what())] { emit RenderFailed(message); },
            Qt::QueuedConnection);
    }

    QPainter painter(this);
    painter.drawImage(QRectF(contentsRect()), Image());
    if (const auto box = Cursor ? Cursor() : std::nullopt) {
        // The ring over the cell, in the colour the focus shows in.
        const qreal ratio = devicePixelRatioF();
        const QRectF outer = QRectF(box->Left, box->Top, box->Right - box->Left + 1, box->Bottom - box->Top + 1);
        const QRectF cell(contentsRect().topLeft() + outer.topLeft() / ratio, outer.size() / ratio);
        const qreal ring = box->Ring / ratio;
        const QColor colour = palette().color(QPalette::Highlight);
        painter.fillRect(QRectF(cell.left(), cell.top(), cell.width(), ring), colour);
        painter.fillRect(QRectF(cell.left(), cell.bottom() - ring, cell.width(), ring), colour);
        painter.fillRect(QRectF(cell.left(), cell.top(), ring, cell.height()), colour);
        painter.fillRect(QRectF(cell.right() - ring, cell.top(), ring, cell.height()), colour);
    }
    if (hasFocus()) {
        // The focused picture trades its sunken frame for one in the highlight colour, so the
        // focus shows without covering any of the picture.
        painter.setPen(QPen(palette().color(QPalette::Highlight), lineWidth(), Qt::SolidLine,
                            Qt::SquareCap, Qt::MiterJoin));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    } else {
        QFrame::paintEvent(event);
    }
}

}  // namespace quorrin
