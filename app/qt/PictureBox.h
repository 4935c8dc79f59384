// The picture control: a sunken frame around the core's picture, whose pixels painting only copies.
#pragma once

#include <QFrame>
#include <QImage>

#include <functional>
#include <optional>

#include "Program.h"

namespace quorrin {

class PictureBox final : public QFrame {
    Q_OBJECT

public:
    // Shows the picture inside a sunken frame `frame` pixels wide on each side.
    PictureBox(RetainedPicture& picture, int frame, QWidget* parent);

    // The picture's pixels as of the last rasterising, without a copy: valid until the next.
    QImage Image() const;
    // Where the explorer's cursor is on the raster at each paint, drawn as a ring over the picture.
    void SetCursorSource(std::function<std::optional<PixelBox>()> cursor) { Cursor = std::move(cursor); }

signals:
    // A key that moves the explorer's cursor, pressed while the picture has the focus.
    void ExploreKeyPressed(quorrin::ExploreKey key);
    // Rasterising again for a repaint failed; emitted after the paint, which cannot throw.
    void RenderFailed(const QString& message);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void TakeColours();

    RetainedPicture& Picture;
    std::function<std::optional<PixelBox>()> Cursor;
};

}  // namespace quorrin
