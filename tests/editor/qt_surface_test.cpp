// The Qt surface draws exactly the drawing colours, which the editor reads
// back to tell nodes, labels and empty canvas apart.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <set>

#include "editor/qt_surface.h"
#include "support/grammar_builder.h"
#include "support/recording_surface.h"

namespace {

using lumo_test::AddEdge;

QColor Qt(CColor c) {
    return QColor(c.r, c.g, c.b);
}

class QtSurface : public ::testing::Test {
protected:
    QtSurface() : m_image(800, 600, QImage::Format_RGB32) {
        m_window = QApplication::palette().color(QPalette::Window);
        m_image.fill(m_window);
        // MAIN: 1 (100, 100) -abc-> 2 (300, 100, final), a loop on 1, and a
        // bent edge 2 -> 1 whose label is highlighted.
        m_doc.AddNode({300, 100});
        m_doc.ToggleNodeFinal({300, 100});
        AddEdge(m_doc, 1, 2, "abc");
        AddEdge(m_doc, 1, 1, "loop");
        AddEdge(m_doc, 2, 1, "back");
    }
    void Paint(const CRect& clip = CRect{0, 0, 800, 600}) {
        QPainter painter(&m_image);
        CQtSurface dc(&painter, clip, QApplication::font());
        m_metrics = dc.GetTextMetrics();
        m_doc.Draw(&dc);
        Edge(1, 0)->HighlightLabel(&dc);
    }
    CEdge* Edge(int slot, int i) { return m_doc.GetCurrentGraph()->GetElement(slot)->GetEdge(i); }
    int CountIn(const CRect& r, CColor c) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                n += m_image.pixelColor(x, y) == Qt(c) ? 1 : 0;
            }
        }
        return n;
    }

    QImage m_image;
    QColor m_window;
    CGrammer m_doc;
    CTextMetrics m_metrics;
};

TEST_F(QtSurface, CanvasHoldsOnlyTheDrawingColours) {
    Paint();
    std::set<QRgb> allowed{m_window.rgb()};
    for (CColor c :
         {Colors::Black, Colors::Red, Colors::Yellow, Colors::Blue, Colors::Cyan, Colors::White}) {
        allowed.insert(Qt(c).rgb());
    }
    for (int y = 0; y < m_image.height(); ++y) {
        for (int x = 0; x < m_image.width(); ++x) {
            ASSERT_TRUE(allowed.count(m_image.pixel(x, y)))
                << "blended colour at " << x << "," << y << ": " << std::hex << m_image.pixel(x, y);
        }
    }
}

TEST_F(QtSurface, NodesNumbersLabelsAndEmptyCanvas) {
    Paint();
    EXPECT_GT(m_metrics.tmHeight, 0);
    EXPECT_GT(m_metrics.tmMaxCharWidth, 0);
    // Discs, away from their numbers, in the node's colour.
    EXPECT_EQ(m_image.pixelColor(100, 113), Qt(Colors::Black));
    EXPECT_EQ(m_image.pixelColor(87, 100), Qt(Colors::Black));
    EXPECT_EQ(m_image.pixelColor(300, 113), Qt(Colors::Red));
    // Yellow numbers inside both discs.
    EXPECT_GT(CountIn({90, 90, 110, 110}, Colors::Yellow), 5);
    EXPECT_GT(CountIn({290, 90, 310, 110}, Colors::Yellow), 5);
    // The label of the straight edge: blue letters on a cyan box.
    const CRect label = Edge(0, 0)->GetLabelRect();
    EXPECT_GT(CountIn(label, Colors::Cyan), 10);
    EXPECT_GT(CountIn(label, Colors::Blue), 5);
    // The highlighted label: white letters on blue.
    const CRect picked = Edge(1, 0)->GetLabelRect();
    EXPECT_GT(CountIn(picked, Colors::Blue), 10);
    EXPECT_GT(CountIn(picked, Colors::White), 5);
    EXPECT_EQ(CountIn(picked, Colors::Cyan), 0);
    // Edge lines are black, and empty canvas keeps the window colour.
    EXPECT_EQ(m_image.pixelColor(150, 100), Qt(Colors::Black));
    EXPECT_EQ(m_image.pixelColor(600, 400), m_window);
    EXPECT_EQ(m_image.pixelColor(200, 300), m_window);
}

TEST_F(QtSurface, SameGeometryAsAnyOtherSurface) {
    Paint();
    // The recorder, given the same metrics, computes the same label rects.
    const CRect onScreen = Edge(0, 1)->GetLabelRect();
    lumo_test::RecordingSurface recorder(m_metrics.tmHeight, m_metrics.tmMaxCharWidth);
    m_doc.Draw(&recorder);
    EXPECT_EQ(Edge(0, 1)->GetLabelRect(), onScreen);
}

TEST_F(QtSurface, ClipLeavesItemsOutsideUndrawnButHittable) {
    Edge(0, 0)->SetLabelRect({});
    Paint(CRect{250, 0, 800, 600});
    EXPECT_EQ(m_image.pixelColor(87, 100), m_window);  // node 1 lies outside
    EXPECT_EQ(m_image.pixelColor(300, 113), Qt(Colors::Red));
    EXPECT_FALSE(Edge(0, 0)->GetLabelRect().IsRectEmpty());
}

}  // namespace
