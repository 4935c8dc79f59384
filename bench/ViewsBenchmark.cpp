// Times each view on the Qt picture, and the floor: the same picture's distinct segments,
// mapped beforehand, cleared and drawn into the same kind of image in one call.
#include <QApplication>
#include <QPainter>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "Drainage.h"
#include "MainWindow.h"
#include "PictureBox.h"
#include "RetainedPicture.h"
#include "Streams.h"

namespace quorrin {
namespace {

const QSize kArea(455, 439);

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
    RetainedPicture scratch(kArea);
    GenerateDrainage(field, scratch, random);
    return field;
}

void View(benchmark::State& state, const ViewCase& view, qreal ratio)
{
    SeededRandomSource random;
    FieldState field = GeneratedField(view.CellSize, random);
    RetainedPicture picture(kArea);
    picture.SetDevicePixelRatio(ratio);
    for (auto _ : state) {
        view.Run(field, picture, random);
        picture.Render();
        benchmark::DoNotOptimize(picture.Image().constBits());
    }
}

void Floor(benchmark::State& state, const ViewCase& view, qreal ratio)
{
    SeededRandomSource random;
    FieldState field = GeneratedField(view.CellSize, random);
    RetainedPicture picture(kArea);
    picture.SetDevicePixelRatio(ratio);
    view.Run(field, picture, random);
    std::vector<QLine> lines;
    for (const Stroke& stroke : picture.Strokes()) {
        QLine line;
        if (picture.DeviceLine(stroke, line)) {
            lines.push_back(line);
        }
    }
    QImage image(picture.Image().size(), QImage::Format_RGB32);
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

    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-24s %12s %12s %8s\n", "view", "time (us)", "floor (us)", "ratio");
    for (const auto& [name, time] : reporter.Times) {
        const auto floor = reporter.Times.find("Floor" + name);
        if (floor != reporter.Times.end()) {
            std::printf("%-24s %12.1f %12.1f %8.2f\n", name.c_str(), time, floor->second, time / floor->second);
        }
    }
    if (const auto click = reporter.Times.find("FineClick/ratio1"); click != reporter.Times.end()) {
        std::printf("%-24s %12.1f\n", "FineClick/ratio1", click->second);
    }
    benchmark::Shutdown();
    return 0;
}
