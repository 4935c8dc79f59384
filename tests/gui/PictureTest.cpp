// The retained picture: batched rasterising matches drawing every call, at any density.
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "Drainage.h"
#include "RecordingSurface.h"
#include "RetainedPicture.h"
#include "Streams.h"

namespace quorrin {
namespace {

using test::Call;
using test::Op;

const QSize kArea(455, 439);

// Draws every segment the calls ask for, one painter call each and in order, with no batching
// and no dropped repeats.
QImage DrawEveryCall(const std::vector<Call>& calls, const RetainedPicture& mapping)
{
    QImage image(mapping.Image().size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    int width = 1;
    float penX = 0.0f;
    float penY = 0.0f;
    for (const Call& call : calls) {
        const std::vector<float>& a = call.Arguments;
        Stroke stroke{};
        switch (call.Operation) {
        case Op::ClearPicture: painter.fillRect(image.rect(), Qt::white); continue;
        case Op::SetPenWidth: width = static_cast<int>(a[0]); continue;
        case Op::DrawLine: stroke = {a[0], a[1], a[2], a[3], width}; break;
        case Op::DrawLineBy: stroke = {penX, penY, penX + a[0], penY + a[1], width}; break;
        default: continue;
        }
        penX = stroke.X2;
        penY = stroke.Y2;
        QLine line;
        if (mapping.DeviceLine(stroke, line)) {
            QPen pen(Qt::black, width);
            pen.setCosmetic(true);
            painter.setPen(pen);
            painter.drawLine(line);
        }
    }
    return image;
}

using View = std::function<void(FieldState&, DrawingSurface&)>;

TEST(RetainedPicture, BatchedPictureEqualsDrawingEveryCallInOrder)
{
    const View generate = [](FieldState& field, DrawingSurface& surface) {
        SeededRandomSource random;
        GenerateDrainage(field, surface, random);
    };
    const View streams = [](FieldState& field, DrawingSurface& surface) { DrawStreams(field, surface); };
    const View redraw = [](FieldState& field, DrawingSurface& surface) { DrawDrainage(field, surface); };

    for (const qreal ratio : {1.0, 2.0}) {
        for (const int s : {1, 2}) {
            FieldState field;
            field.CellSize = s;
            for (const View& view : {generate, streams, redraw}) {
                SCOPED_TRACE(testing::Message() << "ratio " << ratio << ", cell size " << s);
                // A pen width left over from an earlier view: the stream view draws with it.
                FieldState recorded = field;
                test::RecordingSurface recording;
                recording.SetPenWidth(3);
                view(recorded, recording);

                RetainedPicture picture(kArea);
                picture.SetDevicePixelRatio(ratio);
                picture.SetPenWidth(3);
                view(field, picture);
                picture.Render();
                EXPECT_EQ(picture.Image().size(), kArea * ratio);
                EXPECT_LT(picture.Strokes().size(), recording.Calls.size());
                EXPECT_TRUE(picture.Image() == DrawEveryCall(recording.Calls, picture));
            }
        }
    }
}

TEST(RetainedPicture, NewDensityRasterisesTheKeptSegmentsAgain)
{
    FieldState field;
    SeededRandomSource random;
    RetainedPicture moved(kArea);
    GenerateDrainage(field, moved, random);
    moved.Render();
    const std::size_t strokes = moved.Strokes().size();
    moved.SetDevicePixelRatio(2.0);
    moved.Render();

    RetainedPicture dense(kArea);
    dense.SetDevicePixelRatio(2.0);
    DrawDrainage(field, dense);
    dense.Render();
    EXPECT_EQ(moved.Strokes().size(), strokes);
    EXPECT_TRUE(moved.Image() == dense.Image());

}

TEST(RetainedPicture, ClipsSegmentsFarOutsideAndSkipsNonFiniteOnes)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    RetainedPicture picture(kArea);
    picture.ClearPicture();
    picture.DrawLine(-1e30f, 25.0f, 1e30f, 25.0f);
    picture.DrawLine(nan, 1.0f, 2.0f, 3.0f);
    picture.DrawLine(10.0f, -infinity, 10.0f, 20.0f);
    picture.DrawLine(60.0f, 60.0f, 70.0f, 80.0f);
    picture.Render();

    const QImage& image = picture.Image();
    const int row = static_cast<int>(std::floor(25 * 439 / 51.0));
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool isDark = qGray(image.pixel(x, y)) < 128;
            dark += isDark;
            EXPECT_TRUE(!isDark || y == row) << x << "," << y;
        }
    }
    EXPECT_EQ(dark, image.width());
    EXPECT_THROW(picture.SetPenWidth(0), FatalError);
}

}  // namespace
}  // namespace quorrin
