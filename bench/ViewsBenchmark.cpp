// Times each view drawn and rasterised by the core's picture, against the floor of rasterising
// with Qt: the same picture's distinct segments, mapped beforehand, cleared and drawn with one
// QPainter call into an image of the same size.
#include <QApplication>
#include <QPainter>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "Drainage.h"
#include "MainWindow.h"
#include "PictureBox.h"
#include "Window.h"
#include "Description.h"
#include "Explorer.h"
#include "RetainedPicture.h"
#include "Streams.h"

namespace quorrin {
namespace {

const QSize kArea(kDrawingWidth, kDrawingHeight);

struct ViewCase {
    const char* Name;
    int CellSize;
    // Runs the view once on a field that a generation of the same cell size has filled.
    std::function<void(FieldState&, DrawingSurface&, RandomSource&)> Run;
};

const ViewCase kViews[] = {
    {"GenerateFine", 1, [](FieldState& f, DrawingSurface& s, RandomSource& r) { GenerateDrainage(f, s, r); }},
    {"GenerateCoarse", 2, [](FieldState& f, DrawingSurface& s, RandomSource& r) { GenerateDrainage(f, s, r); }},
    {"RedrawFine", 1, [](FieldState& f, DrawingSurface& s, RandomSource&) { DrawDrainage(f, s); }},
    {"StreamsFine", 1, [](FieldState& f, DrawingSurface& s, RandomSource&) { DrawStreams(f, s); }},
};

FieldState GeneratedField(int cellSize, RandomSource& random)
{
    FieldState field;
    field.CellSize = cellSize;
    RetainedPicture scratch(kArea.width(), kArea.height());
    GenerateDrainage(field, scratch, random);
    return field;
}

void View(benchmark::State& state, const ViewCase& view, qreal ratio)
{
    SeededRandomSource random;
    FieldState field = GeneratedField(view.CellSize, random);
    RetainedPicture picture(kArea.width(), kArea.height());
    picture.SetScale(ratio);
    for (auto _ : state) {
        view.Run(field, picture, random);
        picture.Render();
        benchmark::DoNotOptimize(picture.Pixels());
    }
}

void Floor(benchmark::State& state, const ViewCase& view, qreal ratio)
{
    SeededRandomSource random;
    FieldState field = GeneratedField(view.CellSize, random);
    RetainedPicture picture(kArea.width(), kArea.height());
    picture.SetScale(ratio);
    view.Run(field, picture, random);
    std::vector<std::tuple<int, int, int, int>> distinct;
    for (const Stroke& stroke : picture.Strokes()) {
        PixelLine line{};
        if (picture.Map(stroke, line)) {
            distinct.emplace_back(line.X1, line.Y1, line.X2, line.Y2);
        }
    }
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    std::vector<QLine> lines;
    for (const auto& [x1, y1, x2, y2] : distinct) {
        lines.emplace_back(x1, y1, x2, y2);
    }
    QImage image(picture.PixelWidth(), picture.PixelHeight(), QImage::Format_RGB32);
    QPen pen(Qt::black, 1);
    pen.setCosmetic(true);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.fillRect(image.rect(), Qt::white);
        painter.setPen(pen);
        painter.drawLines(lines.data(), static_cast<int>(lines.size()));
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["segments"] = static_cast<double>(lines.size());
}

// A fine generate click as the window runs it: the handler, the drawing and the copy of the
// picture to the widget. The coarse click in between is not timed.
void FineClick(benchmark::State& state)
{
    MainWindow window;
    window.show();
    auto* command1 = window.findChild<QPushButton*>(QStringLiteral("Command1"));
    auto* picture = window.findChild<PictureBox*>(QStringLiteral("Picture1"));
    for (auto _ : state) {
        state.PauseTiming();
        command1->click();
        picture->repaint();
        state.ResumeTiming();
        command1->click();
        picture->repaint();
    }
}

// The words for a fine field's streams from its analysis, beside the stream view that draws the
// same field.
void DescribeFine(benchmark::State& state)
{
    SeededRandomSource random;
    WindowState window;
    window.Field = GeneratedField(1, random);
    RiverAnalysis rivers;
    rivers.Analyse(window.Field, RetainedPicture::kLogicalExtent, RetainedPicture::kLogicalExtent);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Describe(window, rivers.Counts()));
    }
}

// The river systems' analysis of a fine field, made once per field, for the words above and the
// explorer.
void ExploreAnalysisFine(benchmark::State& state)
{
    SeededRandomSource random;
    const FieldState field = GeneratedField(1, random);
    RiverAnalysis rivers;
    for (auto _ : state) {
        rivers.Analyse(field, RetainedPicture::kLogicalExtent, RetainedPicture::kLogicalExtent);
        benchmark::DoNotOptimize(rivers.Systems().data());
    }
}

// One explore key on a fine field and its phrase, the keys taken in turn.
void ExploreKeyFine(benchmark::State& state)
{
    SeededRandomSource random;
    RiverAnalysis rivers;
    rivers.Analyse(GeneratedField(1, random), RetainedPicture::kLogicalExtent, RetainedPicture::kLogicalExtent);
    Explorer explorer(rivers);
    explorer.Reset();
    const ExploreKey keys[] = {ExploreKey::East, ExploreKey::South, ExploreKey::Upstream, ExploreKey::Downstream,
                               ExploreKey::Source, ExploreKey::End, ExploreKey::NextSystem, ExploreKey::West,
                               ExploreKey::North, ExploreKey::PreviousSystem, ExploreKey::NextSystem};
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(explorer.Press(keys[next]).data());
        next = next + 1 == std::size(keys) ? 0 : next + 1;
    }
}

// Collects each benchmark's time per iteration for the ratio table printed at the end.
class TableReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions the median stands for the benchmark; it is reported after the runs.
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                Times[run.run_name.str()] = run.GetAdjustedRealTime();
            }
        }
    }
    std::map<std::string, double> Times;
};

}  // namespace
}  // namespace quorrin

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    using namespace quorrin;
    for (const qreal ratio : {1.0, 2.0}) {
        const std::string suffix = "/ratio" + std::to_string(static_cast<int>(ratio));
        for (const ViewCase& view : kViews) {
            benchmark::RegisterBenchmark((std::string(view.Name) + suffix).c_str(), View, view, ratio)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark((std::string("Floor") + view.Name + suffix).c_str(), Floor, view, ratio)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    benchmark::RegisterBenchmark("FineClick/ratio1", FineClick)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("DescribeFine", DescribeFine)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("ExploreAnalysisFine", ExploreAnalysisFine)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("ExploreKeyFine", ExploreKeyFine)->Unit(benchmark::kMicrosecond);

    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-24s %12s %12s %8s\n", "view", "time (us)", "floor (us)", "ratio");
    for (const auto& [name, time] : reporter.Times) {
        const auto floor = reporter.Times.find("Floor" + name);
        if (floor != reporter.Times.end()) {
            std::printf("%-24s %12.1f %12.1f %8.2f\n", name.c_str(), time, floor->second, time / floor->second);
        }
    }
    for (const char* name : {"FineClick/ratio1", "DescribeFine", "ExploreAnalysisFine", "ExploreKeyFine"}) {
        if (const auto time = reporter.Times.find(name); time != reporter.Times.end()) {
            std::printf("%-24s %12.3f\n", name, time->second);
        }
    }
    benchmark::Shutdown();
    return 0;
}
