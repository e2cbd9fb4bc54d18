// One full repaint of a 1920x1080 viewport over a large graph, into a QImage,
// as the editor's view paints it: the canvas colour, then the graph through
// the Qt surface with the viewport as the clip box.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <memory>

#include "editor/qt_surface.h"
#include "model/grammar.h"

namespace {

constexpr int kSide = 100;     // 100 x 100 nodes
constexpr int kSpacing = 100;  // on the 10,000 x 10,000 canvas
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// 10,000 nodes and 20,000 edges: each node to its right and its lower
// neighbour (back to the left or upper one at the borders), every second
// edge bent.
std::unique_ptr<CGrammer> MakeGraph() {
    auto doc = std::make_unique<CGrammer>();
    CGraph* graph = doc->GetCurrentGraph();
    graph->GetElement(0)->SetCenter({kSpacing / 2, kSpacing / 2});
    for (int i = 1; i < kSide * kSide; ++i) {
        graph->AddNode(
            {kSpacing / 2 + (i % kSide) * kSpacing, kSpacing / 2 + (i / kSide) * kSpacing});
    }
    int n = 0;
    for (int i = 0; i < kSide * kSide; ++i) {
        CGraphElement* from = graph->GetElement(i);
        const int right = i % kSide < kSide - 1 ? i + 1 : i - 1;
        const int down = i / kSide < kSide - 1 ? i + kSide : i - kSide;
        for (int target : {right, down}) {
            CEdge* edge = from->AddEdge(from, graph->GetElement(target), "tok" + std::to_string(n),
                                        "", false);
            edge->SetOffset(n % 2 == 0 ? 0.0f : (n % 4 == 1 ? 1.0f : -1.0f));
            ++n;
        }
    }
    return doc;
}

void Repaint(benchmark::State& state, bool clipToViewport) {
    static std::unique_ptr<CGrammer> doc = MakeGraph();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    const QColor canvas = QApplication::palette().color(QPalette::Window);
    // Somewhere in the middle of the canvas.
    const CPoint scroll{4000, 4500};
    const CRect everything{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    CQtTextCache texts;  // kept by the view across repaints
    for (auto _ : state) {
        image.fill(canvas);
        QPainter painter(&image);
        painter.translate(-scroll.x, -scroll.y);
        CQtSurface dc(&painter,
                      clipToViewport
                          ? CRect{scroll.x, scroll.y, scroll.x + kWidth, scroll.y + kHeight}
                          : everything,
                      QApplication::font(), &texts);
        doc->Draw(&dc);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["nodes"] = kSide * kSide;
    state.counters["edges"] = 2 * kSide * kSide;
}

// What every repaint pays whatever it shows: the geometry and label of every
// edge, with nothing in the clip box.
void BM_GeometryOnly(benchmark::State& state) {
    static std::unique_ptr<CGrammer> doc = MakeGraph();
    QImage image(16, 16, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        CQtSurface dc(&painter, CRect{-100, -100, -90, -90}, QApplication::font());
        doc->Draw(&dc);
    }
}

void BM_RepaintViewport(benchmark::State& state) {
    Repaint(state, true);
}
void BM_RepaintEverythingDrawn(benchmark::State& state) {
    Repaint(state, false);
}

BENCHMARK(BM_GeometryOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintViewport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintEverythingDrawn)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
