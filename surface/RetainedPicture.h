// The drawing surface every front end shows: it keeps the picture's segments and rasterises
// them itself, so the same clicks give the same pixels on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_set>
#include <vector>

#include "DrawingSurface.h"

namespace quorrin {

// A segment as a view asked for it, in logical coordinates, with the pen width in force.
struct Stroke {
    float X1, Y1, X2, Y2;
    int PenWidth;
    bool operator==(const Stroke&) const = default;
};

struct StrokeHash {
    std::size_t operator()(const Stroke& stroke) const;
};

// The end pixels of a stroke on the raster, clipped to it; both ends belong to the line.
struct PixelLine {
    int X1, Y1, X2, Y2;
    bool operator==(const PixelLine&) const = default;
};

// The logical extent W x H is laid linearly over a drawing area of device-independent pixels,
// shown at a scale of device pixels per such pixel. Segments are kept until the next clear and
// rasterised by Render into 32-bit pixels: aliased, both end pixels drawn, a pen wider than one
// pixel as a square. Drawing a segment twice changes no pixel, so exact repeats of long
// segments are kept once. The two colours are pixel values in the front end's own format, so the
// raster can be copied to the screen as it is.
class RetainedPicture final : public DrawingSurface {
public:
    static constexpr float kLogicalExtent = 51.0f;
    // Scales beyond this would ask for rasters of gigabytes.
    static constexpr double kLargestScale = 16.0;

    RetainedPicture(int areaWidth, int areaHeight, float logicalWidth = kLogicalExtent,
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
    // A change of either colour rasterises the whole picture again at the next Render.
    void SetColours(std::uint32_t background, std::uint32_t ink);
    // Device pixels per pixel of the area, for a screen's density. A new scale makes a raster of
    // the new size, which the next Render fills from the kept segments; no view runs. Throws
    // FatalError for a density beyond the largest, or when the new raster gets no memory; the
    // picture then stays as it was, raster and size.
    void SetScale(double scale);
    // Rasterises what was drawn since the last call, into the raster SetScale made.
    void Render();

    // The raster as of the last Render: PixelWidth values per row, the top row first.
    int PixelWidth() const { return RasterWidth; }
    int PixelHeight() const { return RasterHeight; }
    const std::uint32_t* Pixels() const { return Raster.data(); }
    const std::vector<Stroke>& Strokes() const { return Picture; }
    // Where a stroke lands on the raster; false when nothing of it does or a coordinate is not
    // finite.
    bool Map(const Stroke& stroke, PixelLine& line) const;

private:
    void Add(float x1, float y1, float x2, float y2);
    void Fill(int left, int top, int right, int bottom);
    void Rasterise(const PixelLine& line, int penWidth);

    int AreaWidth;
    int AreaHeight;
    float Width;
    float Height;
    double Scale = 1.0;
    int RasterWidth = 0;
    int RasterHeight = 0;
    // Device pixels per logical unit.
    double ScaleX = 1.0;
    double ScaleY = 1.0;
    std::uint32_t Background = 0xffffffff;
    std::uint32_t Ink = 0xff000000;
    std::function<void()> WindowAreaClearer;

    int PenWidth = 1;
    float PenX = 0.0f;
    float PenY = 0.0f;

    std::vector<Stroke> Picture;
    std::unordered_set<Stroke, StrokeHash> Long;
    std::size_t RenderedStrokes = 0;
    bool ClearPending = true;
    std::vector<std::uint32_t> Raster;
};

}  // namespace quorrin
