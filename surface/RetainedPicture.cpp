// Collecting segments, mapping them to device pixels, clipping them, and rasterising them.
#include "RetainedPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "FatalError.h"

namespace quorrin {
namespace {

enum Outside : unsigned { kLeft = 1, kRight = 2, kAbove = 4, kBelow = 8 };

// A number as people write it: 17, 1.5, 1.33333.
std::string Readable(double number)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", number);
    return text;
}

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

// Segments shorter than this many device pixels are kept without looking for repeats: drawing
// one twice costs less than the lookup.
constexpr double kShortSegment = 16.0;

std::size_t Bits(float value)
{
    value += 0.0f;  // -0 becomes +0, which it equals
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace

std::size_t StrokeHash::operator()(const Stroke& stroke) const
{
    // 64 bits also where std::size_t has 32, as in WebAssembly.
    std::uint64_t hash = static_cast<std::uint64_t>(stroke.PenWidth);
    for (const float value : {stroke.X1, stroke.Y1, stroke.X2, stroke.Y2}) {
        hash = (hash ^ Bits(value)) * 0x100000001b3ULL;
    }
    return static_cast<std::size_t>(hash ^ (hash >> 29));
}

RetainedPicture::RetainedPicture(int areaWidth, int areaHeight, float logicalWidth, float logicalHeight)
    : AreaWidth(std::max(areaWidth, 0)), AreaHeight(std::max(areaHeight, 0)), Width(logicalWidth),
      Height(logicalHeight)
{
    SetScale(1.0);
}

void RetainedPicture::ClearPicture()
{
    Picture.clear();
    Long.clear();
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
    const double pixels = std::abs(x2 - x1) * ScaleX + std::abs(y2 - y1) * ScaleY;
    if (pixels < kShortSegment || Long.insert(stroke).second) {
        Picture.push_back(stroke);
    }
    PenX = x2;
    PenY = y2;
}

void RetainedPicture::SetColours(std::uint32_t background, std::uint32_t ink)
{
    if (background != Background || ink != Ink) {
        Background = background;
        Ink = ink;
        RenderedStrokes = 0;
        ClearPending = true;
    }
}

void RetainedPicture::SetScale(double scale)
{
    if (!(scale > 0.0 && scale <= kLargestScale)) {
        throw FatalError("a screen density of " + Readable(scale) + " cannot be shown");
    }
    if (scale == Scale && !Raster.empty()) {
        return;
    }
    // The raster of the new size comes first: the size is published only with it, so that a
    // failed allocation leaves the old raster and its size, which the front ends keep showing.
    const int width = static_cast<int>(std::lround(AreaWidth * scale));
    const int height = static_cast<int>(std::lround(AreaHeight * scale));
    std::vector<std::uint32_t> raster;
    try {
        raster.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), Background);
    } catch (const std::bad_alloc&) {
        throw FatalError("no memory for a picture of " + std::to_string(width) + " x " + std::to_string(height) +
                         " pixels");
    }
    Raster.swap(raster);
    Scale = scale;
    RasterWidth = width;
    RasterHeight = height;
    ScaleX = RasterWidth / static_cast<double>(Width);
    ScaleY = RasterHeight / static_cast<double>(Height);
    RenderedStrokes = 0;
    ClearPending = true;
}

bool RetainedPicture::Map(const Stroke& stroke, PixelLine& line) const
{
    double x1 = stroke.X1 * ScaleX;
    double y1 = stroke.Y1 * ScaleY;
    double x2 = stroke.X2 * ScaleX;
    double y2 = stroke.Y2 * ScaleY;
    if (!ClipToBox(x1, y1, x2, y2, RasterWidth, RasterHeight)) {
        return false;
    }
    // A point lands in the pixel that contains it; clipped points are never negative, so
    // truncation is the floor. A point on the far edge lies just outside the raster.
    line = {static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2), static_cast<int>(y2)};
    return true;
}

void RetainedPicture::Fill(int left, int top, int right, int bottom)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, RasterWidth - 1);
    bottom = std::min(bottom, RasterHeight - 1);
    if (left > right) {
        return;
    }
    for (int y = top; y <= bottom; ++y) {
        std::uint32_t* row = Raster.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(RasterWidth);
        std::fill(row + left, row + right + 1, Ink);
    }
}

void RetainedPicture::Rasterise(const PixelLine& line, int penWidth)
{
    // A wide pen is a square of penWidth pixels laid around each pixel of the thin line.
    const int before = penWidth / 2;
    const int after = penWidth - 1 - before;
    if (line.Y1 == line.Y2 || line.X1 == line.X2) {
        Fill(std::min(line.X1, line.X2) - before, std::min(line.Y1, line.Y2) - before,
             std::max(line.X1, line.X2) + after, std::max(line.Y1, line.Y2) + after);
        return;
    }
    // Bresenham's walk from the first end to the last, both included.
    const int dx = std::abs(line.X2 - line.X1);
    const int dy = -std::abs(line.Y2 - line.Y1);
    const int stepX = line.X1 < line.X2 ? 1 : -1;
    const int stepY = line.Y1 < line.Y2 ? 1 : -1;
    int error = dx + dy;
    for (int x = line.X1, y = line.Y1;;) {
        if (penWidth > 1) {
            Fill(x - before, y - before, x + after, y + after);
        } else if (x < RasterWidth && y < RasterHeight) {
            Raster[static_cast<std::size_t>(y) * static_cast<std::size_t>(RasterWidth) + static_cast<std::size_t>(x)] = Ink;
        }
        if (x == line.X2 && y == line.Y2) {
            break;
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

void RetainedPicture::Render()
{
    if (!ClearPending && RenderedStrokes == Picture.size()) {
        return;
    }
    if (ClearPending) {
        std::fill(Raster.begin(), Raster.end(), Background);
        ClearPending = false;
    }
    for (std::size_t i = RenderedStrokes; i < Picture.size(); ++i) {
        PixelLine line{};
        if (Map(Picture[i], line)) {
            Rasterise(line, Picture[i].PenWidth);
        }
    }
    RenderedStrokes = Picture.size();
}

}  // namespace quorrin
