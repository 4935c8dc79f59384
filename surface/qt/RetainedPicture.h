// The drawing surface on Qt: keeps the picture's segments and rasterises them into an image.
#pragma once

#include <QColor>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QSize>

#include <functional>
#include <vector>

#include "DrawingSurface.h"
#include "StrokeSet.h"

namespace quorrin {

// The logical extent W x H is laid linearly over an area of device-independent pixels. Segments
// are collected and rasterised together by Render, aliased, in the foreground colour and with
// their pen width in whole device pixels. Drawing one segment twice changes no pixel, so
// exact repeats of long segments are kept once. The segments of the current picture are kept,
// so the picture can be rasterised again at another device-pixel ratio without running a view.
class RetainedPicture final : public DrawingSurface {
public:
    static constexpr float kLogicalExtent = 51.0f;

    explicit RetainedPicture(QSize area, float logicalWidth = kLogicalExtent,
                             float logicalHeight = kLogicalExtent);

    void ClearPicture() override;
    void ClearWindowArea() override;
    float LogicalWidth() override { return Width; }
    float LogicalHeight() override { return Height; }
    void SetPenWidth(int pixels) override;
    void DrawLine(float x1, float y1, float x2, float y2) override;
    void DrawLineBy(float dx, float dy) override;

    // Called by ClearWindowArea; the picture itself has no window to clear.
    void SetWindowAreaClearer(std::function<void()> clearer) { WindowAreaClearer = std::move(clearer); }
    void SetColours(QColor background, QColor foreground);
    // Rasterises the whole picture again at the new ratio when it differs.
    void SetDevicePixelRatio(qreal ratio);
    // Rasterises the segments drawn since the last call. Throws FatalError when it can't.
    void Render();
    // The image as of the last Render, in device pixels: its area times the device-pixel ratio.
    const QImage& Image() const { return Raster; }
    const std::vector<Stroke>& Strokes() const { return Picture; }
    // The device-pixel segment that a stroke covers, clipped to the image; false when nothing
    // of it lies within the image or its coordinates are not finite.
    bool DeviceLine(const Stroke& stroke, QLine& line) const;

private:
    void Add(float x1, float y1, float x2, float y2);
    void DrawLines(QPainter& painter, int width, const QLine* lines, std::size_t count) const;
    // Makes the image for the area at the current ratio; it is rasterised afresh by Render.
    void AllocateRaster();

    QSize Area;
    float Width;
    float Height;
    qreal Ratio = 1.0;
    // Device pixels per logical unit.
    double ScaleX = 1.0;
    double ScaleY = 1.0;
    QColor Background = Qt::white;
    QColor Foreground = Qt::black;
    std::function<void()> WindowAreaClearer;

    int PenWidth = 1;
    float PenX = 0.0f;
    float PenY = 0.0f;

    std::vector<Stroke> Picture;
    StrokeSet Drawn;
    // Reused by Render: the device lines of pen width 1, and of every other width.
    std::vector<QLine> ThinLines;
    std::vector<std::pair<int, QLine>> WideLines;
    std::size_t RenderedStrokes = 0;
    bool ClearPending = true;
    QImage Raster;
};

}  // namespace quorrin
