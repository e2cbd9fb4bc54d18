// One full repaint of a 1920x1080 viewport over a large graph, into a QImage,
// as the editor's view paints it: the canvas colour, then the graph through
// the Qt surface with the viewport as the clip box.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <memory>

#include <QMouseEvent>
#include <QScrollBar>

#include "editor/lumo_view.h"
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

// The editor on the large graph: what one mouse move during a drag, and one
// click that adds a node, cost. Neither may repaint the whole view.
struct ViewFixture {
    std::unique_ptr<CGrammer> doc = MakeGraph();
    CLumoView view{doc.get()};
    ViewFixture() {
        view.resize(kWidth, kHeight);
        view.show();
        view.horizontalScrollBar()->setValue(4000);
        view.verticalScrollBar()->setValue(4500);
        view.Repaint();
        QApplication::processEvents();
    }
    void Send(QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent event(type, at, view.viewport()->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, {});
        QApplication::sendEvent(view.viewport(), &event);
    }
};

void BM_CrosshairMove(benchmark::State& state) {
    ViewFixture f;
    f.Send(QEvent::MouseButtonPress, QPoint(55, 55), Qt::LeftButton);  // picks a node
    const int repaints = f.view.FullRepaintCount();
    int x = 100;
    for (auto _ : state) {
        f.Send(QEvent::MouseMove, QPoint(x, 300), Qt::LeftButton);
        QApplication::processEvents();  // the overlay is painted
        x = x < 1800 ? x + 7 : 100;
    }
    if (f.view.FullRepaintCount() != repaints) {
        state.SkipWithError("a crosshair move repainted the whole view");
    }
    f.Send(QEvent::MouseButtonRelease, QPoint(55, 55), Qt::NoButton);
}

void BM_ClickAddsNode(benchmark::State& state) {
    ViewFixture f;
    const int repaints = f.view.FullRepaintCount();
    int i = 0;
    for (auto _ : state) {
        // Empty canvas between the grid's nodes, a new spot each time (a
        // click on a node would pick it, and its release move it).
        const QPoint at(100 + (i % 18) * 100, 100 + (i / 18) * 100);
        f.Send(QEvent::MouseButtonPress, at, Qt::LeftButton);
        f.Send(QEvent::MouseButtonRelease, at, Qt::NoButton);
        QApplication::processEvents();
        ++i;
    }
    if (f.view.FullRepaintCount() != repaints) {
        state.SkipWithError("adding a node repainted the whole view");
    }
}

BENCHMARK(BM_CrosshairMove)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClickAddsNode)->Unit(benchmark::kMicrosecond)->Iterations(150);
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
