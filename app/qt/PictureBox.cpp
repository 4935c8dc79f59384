// Showing the retained picture, crisp at the screen's density, with a visible keyboard focus.
#include "PictureBox.h"

#include <QEvent>
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
