// The Qt surface draws exactly the colours the editor reads back to tell
// nodes, labels and empty canvas apart; SVG labels read as the canvas's.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <set>

#include "editor/qt_surface.h"
#include "framework/svg_surface.h"
#include "support/grammar_builder.h"
#include "support/recording_surface.h"

namespace {

QColor Qt(CColor c) {
    return QColor(c.r, c.g, c.b);
}

// MAIN: 1 (100, 100) -abc-> 2 (300, 100, final), a loop on 1, and a bent
// edge 2 -> 1 whose label is highlighted; painted within clip.
struct Painted {
    explicit Painted(const CRect& clip = CRect{0, 0, 800, 600})
        : image(800, 600, QImage::Format_RGB32) {
        image.fill(window);
        doc.AddNode({300, 100});
        doc.ToggleNodeFinal({300, 100});
        lumo_test::AddEdge(doc, 1, 2, "abc");
        lumo_test::AddEdge(doc, 1, 1, "loop");
        lumo_test::AddEdge(doc, 2, 1, "back");
        Edge(0, 0)->SetLabelRect({});
        QPainter painter(&image);
        CQtSurface dc(&painter, clip, QApplication::font());
        metrics = dc.GetTextMetrics();
        doc.Draw(&dc);
        Edge(1, 0)->HighlightLabel(&dc);
    }
    CEdge* Edge(int slot, int i) { return doc.GetCurrentGraph()->GetElement(slot)->GetEdge(i); }
    int CountIn(const CRect& r, CColor c) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                n += image.pixelColor(x, y) == Qt(c) ? 1 : 0;
            }
        }
        return n;
    }
    QColor At(int x, int y) const { return image.pixelColor(x, y); }

    QImage image;
    QColor window = QApplication::palette().color(QPalette::Window);
    CGrammer doc;
    CTextMetrics metrics;
};

TEST(QtSurface, DrawsOnlyTheDrawingColoursEachWhereItBelongs) {
    Painted p;
    std::set<QRgb> allowed{p.window.rgb()};
    for (CColor c :
         {Colors::Black, Colors::Red, Colors::Yellow, Colors::Blue, Colors::Cyan, Colors::White}) {
        allowed.insert(Qt(c).rgb());
    }
    for (int i = 0; i < p.image.width() * p.image.height(); ++i) {
        const QRgb pixel = p.image.pixel(i % p.image.width(), i / p.image.width());
        ASSERT_TRUE(allowed.count(pixel)) << "blended colour " << std::hex << pixel;
    }
    // Discs black or red under yellow numbers; labels blue on cyan, the
    // highlighted one white on blue.
    EXPECT_EQ(p.At(100, 113), Qt(Colors::Black));
    EXPECT_EQ(p.At(300, 113), Qt(Colors::Red));
    EXPECT_GT(p.CountIn({90, 90, 110, 110}, Colors::Yellow), 5);
    const CRect label = p.Edge(0, 0)->GetLabelRect(), picked = p.Edge(1, 0)->GetLabelRect();
    EXPECT_GT(p.CountIn(label, Colors::Cyan), 10);
    EXPECT_GT(p.CountIn(picked, Colors::White), 5);
    EXPECT_EQ(p.CountIn(picked, Colors::Cyan), 0);

    // Any surface with the same metrics puts the labels in the same place.
    const CRect onScreen = p.Edge(0, 1)->GetLabelRect();
    lumo_test::RecordingSurface recorder(p.metrics.tmHeight, p.metrics.tmMaxCharWidth);
    p.doc.Draw(&recorder);
    EXPECT_EQ(p.Edge(0, 1)->GetLabelRect(), onScreen);
}

TEST(QtSurface, ClipLeavesItemsOutsideUndrawnButHittable) {
    Painted p(CRect{250, 0, 800, 600});
    EXPECT_EQ(p.At(87, 100), p.window);  // node 1 lies outside
    EXPECT_EQ(p.At(300, 113), Qt(Colors::Red));
    EXPECT_FALSE(p.Edge(0, 0)->GetLabelRect().IsRectEmpty());
}

// The same characters as the canvas, in a box as wide as those characters.
TEST(SvgExport, LabelTextAndWidthMatchTheCanvas) {
    const std::string label = "caf\xE9 \x80\x81";
    CSvgSurface svg;
    svg.DrawText(label, CRect{0, 0, 100 * CSvgSurface::kFontMaxWidth, CSvgSurface::kFontHeight});
    const QString document = QString::fromStdString(svg.Document(""));
    const QString shown = CQtTextCache().Get(label, QApplication::font()).text.text();
    EXPECT_TRUE(document.contains(">" + shown + "</text>")) << document.toStdString();
    EXPECT_TRUE(
        document.contains(QString("width=\"%1\"").arg(shown.size() * CSvgSurface::kFontMaxWidth)));
}

}  // namespace
