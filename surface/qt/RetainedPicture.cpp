// Collecting segments, mapping them to device pixels, and rasterising them in one pass.
#include "RetainedPicture.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <string>

#include "FatalError.h"

namespace quorrin {
namespace {

enum Outside : unsigned { kLeft = 1, kRight = 2, kAbove = 4, kBelow = 8 };

unsigned OutsideOf(double x, double y, double width, double height)
{
    return (x < 0.0 ? kLeft : 0u) | (x > width ? kRight : 0u) | (y < 0.0 ? kAbove : 0u) |
           (y > height ? kBelow : 0u);
}

// Cuts the segment down to the part inside [0, width] x [0, height]. An end outside is moved
// onto the edge it crosses, exactly, so that ends far away keep their precision; ends inside
// stay as they are.
bool ClipToBox(double& x1, double& y1, double& x2, double& y2, double width, double height)
{
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
        return false;
    }
    unsigned outside1 = OutsideOf(x1, y1, width, height);
    unsigned outside2 = OutsideOf(x2, y2, width, height);
    // Each pass puts one end on an edge; an end needs one pass per axis at the most, and the
    // bound only guards against rounding.
    for (int pass = 0; pass < 8; ++pass) {
        if ((outside1 | outside2) == 0) {
            return true;
        }
        if ((outside1 & outside2) != 0) {
            return false;
        }
        const unsigned outside = outside1 != 0 ? outside1 : outside2;
        double x = 0.0;
        double y = 0.0;
        if ((outside & (kAbove | kBelow)) != 0) {
            y = (outside & kBelow) != 0 ? height : 0.0;
            x = x1 + (x2 - x1) * (y - y1) / (y2 - y1);
        } else {
            x = (outside & kRight) != 0 ? width : 0.0;
            y = y1 + (y2 - y1) * (x - x1) / (x2 - x1);
        }
        if (outside == outside1) {
            x1 = x;
            y1 = y;
            outside1 = OutsideOf(x1, y1, width, height);
        } else {
            x2 = x;
            y2 = y;
            outside2 = OutsideOf(x2, y2, width, height);
        }
    }
    return false;
}

// Segments shorter than this many device pixels are kept without looking for repeats.
constexpr double kShortSegment = 16.0;

}  // namespace

void RetainedPicture::DrawLines(QPainter& painter, int width, const QLine* lines, std::size_t count) const
{
    QPen pen(Foreground, width);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.drawLines(lines, static_cast<int>(count));
}

RetainedPicture::RetainedPicture(QSize area, float logicalWidth, float logicalHeight)
    : Area(area), Width(logicalWidth), Height(logicalHeight)
{
    AllocateRaster();
}

void RetainedPicture::ClearPicture()
{
    Picture.clear();
    Drawn.Clear();
    RenderedStrokes = 0;
    ClearPending = true;
}

void RetainedPicture::ClearWindowArea()
{
    if (WindowAreaClearer) {
        WindowAreaClearer();
    }
}

void RetainedPicture::SetPenWidth(int pixels)
{
    if (pixels < 1) {
        throw FatalError("pen width " + std::to_string(pixels) + " is below one pixel");
    }
    PenWidth = pixels;
}

void RetainedPicture::DrawLine(float x1, float y1, float x2, float y2) { Add(x1, y1, x2, y2); }

void RetainedPicture::DrawLineBy(float dx, float dy) { Add(PenX, PenY, PenX + dx, PenY + dy); }

void RetainedPicture::Add(float x1, float y1, float x2, float y2)
{
    const Stroke stroke{x1, y1, x2, y2, PenWidth};
    // A long segment drawn again is worth dropping; a short one costs less to draw twice than
    // to look up.
    const double pixels = std::abs(x2 - x1) * ScaleX + std::abs(y2 - y1) * ScaleY;
    if (pixels < kShortSegment || Drawn.Insert(stroke)) {
        Picture.push_back(stroke);
    }
    PenX = x2;
    PenY = y2;
}

void RetainedPicture::SetColours(QColor background, QColor foreground)
{
    Background = background;
    Foreground = foreground;
    RenderedStrokes = 0;
    ClearPending = true;
}

void RetainedPicture::SetDevicePixelRatio(qreal ratio)
{
    if (ratio == Ratio) {
        return;
    }
    Ratio = ratio;
    AllocateRaster();
}

void RetainedPicture::AllocateRaster()
{
    const QSize pixels(static_cast<int>(std::lround(Area.width() * Ratio)),
                       static_cast<int>(std::lround(Area.height() * Ratio)));
    // The image keeps a ratio of 1 so that the painter works in device pixels; the widget
    // shows it over its area in device-independent pixels.
    Raster = QImage(pixels, QImage::Format_RGB32);
    ScaleX = pixels.width() / static_cast<double>(Width);
    ScaleY = pixels.height() / static_cast<double>(Height);
    RenderedStrokes = 0;
    ClearPending = true;
}

bool RetainedPicture::DeviceLine(const Stroke& stroke, QLine& line) const
{
    double x1 = stroke.X1 * ScaleX;
    double y1 = stroke.Y1 * ScaleY;
    double x2 = stroke.X2 * ScaleX;
    double y2 = stroke.Y2 * ScaleY;
    if (!ClipToBox(x1, y1, x2, y2, Raster.width(), Raster.height())) {
        return false;
    }
    // A point lands in the pixel that contains it (clipped points are never negative, so
    // truncation is the floor); Qt's aliased line then covers the pixels from the first to the
    // last, both included.
    line.setLine(static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2), static_cast<int>(y2));
    return true;
}

void RetainedPicture::Render()
{
    if (Raster.isNull()) {
        throw FatalError("no memory for a picture of " + std::to_string(Area.width()) + " x " +
                         std::to_string(Area.height()) + " pixels");
    }
    if (!ClearPending && RenderedStrokes == Picture.size()) {
        return;
    }
    QPainter painter(&Raster);
    if (!painter.isActive()) {
        throw FatalError("cannot paint on the picture");
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (ClearPending) {
        painter.fillRect(Raster.rect(), Background);
        ClearPending = false;
    }
    // Thin segments go to the painter in one call; wider ones are rare.
    ThinLines.clear();
    WideLines.clear();
    for (std::size_t i = RenderedStrokes; i < Picture.size(); ++i) {
        QLine line;
        if (!DeviceLine(Picture[i], line)) {
            continue;
        }
        if (Picture[i].PenWidth == 1) {
            ThinLines.push_back(line);
        } else {
            WideLines.emplace_back(Picture[i].PenWidth, line);
        }
    }
    DrawLines(painter, 1, ThinLines.data(), ThinLines.size());
    for (const auto& [width, line] : WideLines) {
        DrawLines(painter, width, &line, 1);
    }
    RenderedStrokes = Picture.size();
}

}  // namespace quorrin
