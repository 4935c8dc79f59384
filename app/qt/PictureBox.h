// The picture control: a sunken frame around the core's picture, whose pixels painting only copies.
#pragma once

#include <QFrame>
#include <QImage>

#include "RetainedPicture.h"

namespace quorrin {

class PictureBox final : public QFrame {
    Q_OBJECT

public:
    // Shows the picture inside a sunken frame `frame` pixels wide on each side.
    PictureBox(RetainedPicture& picture, int frame, QWidget* parent);

    // The picture's pixels as of the last rasterising, without a copy: valid until the next.
    QImage Image() const;

signals:
    // Rasterising again for a repaint failed; emitted after the paint, which cannot throw.
    void RenderFailed(const QString& message);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void TakeColours();

    RetainedPicture& Picture;
};

}  // namespace quorrin
