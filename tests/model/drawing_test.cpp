// Drawing the graph: the exact calls for the reference cases (H = 16, W = 8),
// the geometry by its meaning, and degenerate input.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "support/grammar_builder.h"
#include "support/recording_surface.h"

namespace {

using Call = lumo_test::RecordingSurface::Call;
using lumo_test::RecordingSurface;

// MAIN's nodes at the given points (node 1 moved there) and edges between them.
void Place(CGrammer& doc, std::initializer_list<CPoint> points,
           std::initializer_list<lumo_test::Arc> arcs = {}) {
    doc.FindNode({100, 100});
    doc.MoveSelectedNode(*points.begin());
    for (auto p = points.begin() + 1; p != points.end(); ++p) {
        doc.AddNode(*p);
    }
    lumo_test::Build(doc, arcs);
}

CEdge* EdgeAt(CGrammer& doc, int slot, int index = 0) {
    return doc.GetCurrentGraph()->GetElement(slot)->GetEdge(index);
}

std::vector<Call> DrawEdge(CEdge* edge, int h = 16, int w = 8) {
    RecordingSurface dc(h, w);
    edge->Draw(&dc);
    return dc.Calls();
}

// The calls in a line each: kind, box (not for lines), the two points (not for
// text); with brief, the kinds only.
std::string Shapes(const std::vector<Call>& calls, bool brief = false) {
    std::string out;
    auto pt = [](CPoint p) { return " " + std::to_string(p.x) + "," + std::to_string(p.y); };
    for (const Call& c : calls) {
        const CRect& b = c.box;
        out += brief ? std::string(1, "PALT"[c.kind])
                     : std::string(out.empty() ? "" : "; ") + "PALT"[c.kind] +
                           (c.kind == Call::Line ? ""
                                                 : pt({b.left, b.top}) + pt({b.right, b.bottom})) +
                           (c.kind == Call::Text ? "" : pt(c.a) + pt(c.b));
    }
    return out;
}

// Drags the label to pt; the middle of the label drawn after.
CPoint Drop(CEdge* edge, CPoint pt) {
    RecordingSurface dc;
    edge->Draw(&dc);
    edge->HighlightLabel(&dc);
    edge->DropLabel(&dc, pt);
    edge->Draw(&dc);
    return lumo_test::Middle(edge->GetLabelRect());
}

// Whether p lies on the counterclockwise sweep of the arc call and near its
// circle: the box's truncated sides and the chord's integer midpoint move the
// circle by up to 2.25 units; more is a fault.
::testing::AssertionResult OnArc(const Call& arc, CPoint p) {
    const double cx = (arc.box.left + arc.box.right) / 2.0;
    const double cy = (arc.box.top + arc.box.bottom) / 2.0, twoPi = 2 * std::numbers::pi;
    const double d = std::hypot(p.x - cx, p.y - cy), r = (arc.box.right - arc.box.left) / 2.0;
    auto angle = [&](CPoint q) { return std::atan2(-(q.y - cy), q.x - cx); };
    auto norm = [twoPi](double a) { return std::fmod(std::fmod(a, twoPi) + twoPi, twoPi); };
    const double sweep = norm(angle(arc.b) - angle(arc.a)), at = norm(angle(p) - angle(arc.a));
    if (std::fabs(d - r) > 2.25 || (arc.a != arc.b && at > sweep + 0.02 && at < twoPi - 0.02)) {
        return ::testing::AssertionFailure() << p.x << "," << p.y << " off the arc";
    }
    return ::testing::AssertionSuccess();
}

TEST(NodeDrawing, BlackDiscOrRedWhenFinalWithAYellowNumber) {
    CGrammer doc;
    for (const CColor colour : {CColor{0, 0, 0}, CColor{255, 0, 0}}) {  // black, red when final
        RecordingSurface dc;
        doc.Draw(&dc);
        EXPECT_EQ(Shapes(dc.Calls()), "P 85,85 115,115 100,85 100,85; T 85,85 115,115");
        const Call &disc = dc.Calls()[0], &number = dc.Calls()[1];
        EXPECT_TRUE(disc.brush == colour && disc.pen.color == colour && number.bkColor == colour);
        EXPECT_TRUE(number.text == "1" && number.textColor == Colors::Yellow);
        EXPECT_TRUE(dc.GetPen() == CPen{} && dc.GetBrush() == Colors::White);  // both put back
        doc.ToggleNodeFinal({100, 100});
    }
}

TEST(EdgeDrawing, StraightEdgeArcsBelowAndLoops) {
    CGrammer doc;
    Place(doc, {{100, 100}, {300, 100}}, {{1, 2, "id"}, {2, 1, "id"}});  // the second: bend +1
    std::vector<Call> calls = DrawEdge(EdgeAt(doc, 0));
    EXPECT_EQ(Shapes(calls),
              "L 100,100 300,100; L 300,100 260,103; L 300,100 260,97; T 192,92 208,108");
    EXPECT_TRUE(calls[3].textColor == Colors::Blue && calls[3].bkColor == Colors::Cyan);
    EXPECT_EQ(EdgeAt(doc, 0)->GetLabelRect(), (CRect{192, 92, 208, 108}));
    calls = DrawEdge(EdgeAt(doc, 1));  // the arc, then the barbs from P to Q (138, 109)
    EXPECT_EQ(Shapes(calls),
              "A -20,-316 420,124 100,100 300,100; A -106,-495 506,116 100,100 138,109; "
              "A 24,-220 375,131 100,100 138,109; T 192,116 208,132");
    EXPECT_EQ(calls[1].pen, (CPen{Colors::Black, 1}));

    // A label is as wide as the characters it shows, not as its bytes.
    lumo_test::AddEdge(doc, 1, 2, "\xC3\xA9\xE2\x86\x92");
    DrawEdge(EdgeAt(doc, 0, 1));
    EXPECT_EQ(EdgeAt(doc, 0, 1)->GetLabelRect().right - EdgeAt(doc, 0, 1)->GetLabelRect().left, 16);

    // Loops, bends -1 and +2: circles through the node, without arrowheads.
    CGrammer loops;
    lumo_test::Build(loops, {{1, 1, "x"}, {1, 1, "y"}});
    EXPECT_EQ(Shapes(DrawEdge(EdgeAt(loops, 0, 0))),
              "A 88,76 112,100 100,100 100,100; T 96,68 104,84");
    EXPECT_EQ(Shapes(DrawEdge(EdgeAt(loops, 0, 1))),
              "A 76,100 124,148 100,100 100,100; T 96,140 104,156");
}

// Every arc passes through both centres and its label's middle, which lies on
// the side of the line from node 1 to node 2 that the bend's sign gives.
TEST(EdgeDrawing, EveryArcPassesThroughBothCentresAndItsMiddle) {
    const CPoint places[][2] = {
        {{100, 100}, {100, 300}}, {{100, 100}, {300, 250}}, {{420, 80}, {130, 390}}};
    for (const auto& pair : places) {
        for (float bend : {1.0f, -1.0f, 2.0f, -3.0f, 0.4f, -7.5f}) {
            for (int from : {1, 2}) {
                CGrammer doc;
                Place(doc, {pair[0], pair[1]}, {{from, 3 - from, "lbl"}});
                CEdge* edge = EdgeAt(doc, from - 1);
                edge->SetOffset(bend);
                const std::vector<Call> calls = DrawEdge(edge);
                ASSERT_EQ(calls[0].kind, Call::Arc);
                const CPoint mid = lumo_test::Middle(edge->GetLabelRect());
                EXPECT_TRUE(OnArc(calls[0], pair[0]) && OnArc(calls[0], pair[1]) &&
                            OnArc(calls[0], mid));
                const int64_t side = int64_t{pair[1].x - pair[0].x} * (mid.y - pair[0].y) -
                                     int64_t{pair[1].y - pair[0].y} * (mid.x - pair[0].x);
                EXPECT_EQ(side > 0, bend > 0) << pair[0].x << " bend " << bend << " from " << from;
                const CPoint target = pair[2 - from];  // both barbs start or end there
                EXPECT_TRUE((calls[1].a == target || calls[1].b == target) &&
                            (calls[2].a == target || calls[2].b == target));
            }
        }
    }
}

// Only a highlighted label drops. One dropped closer than 5 units to the
// middle of its line straightens the edge; from 5 units on it bends it by the
// distance over 1.5 H. Vertical chords and loops follow the drop.
TEST(LabelDrag, DropsNearTheLineStraightenOthersBendToTheDrop) {
    CGrammer doc;
    Place(doc, {{100, 100}, {300, 100}}, {{1, 2, "e"}, {1, 1, "x"}});
    RecordingSurface dc;
    EXPECT_FALSE(EdgeAt(doc, 0)->DropLabel(&dc, {200, 150}));
    EdgeAt(doc, 0)->HighlightLabel(&dc);
    EXPECT_TRUE(dc.Calls()[0].textColor == Colors::White && dc.Calls()[0].bkColor == Colors::Blue);
    EXPECT_TRUE(EdgeAt(doc, 0)->DropLabel(&dc, {200, 150}) && !EdgeAt(doc, 0)->IsHighlighted());
    for (int d = -12; d <= 12; ++d) {
        EdgeAt(doc, 0)->SetOffset(3.0f);
        Drop(EdgeAt(doc, 0), {200, 100 + d});
        EXPECT_NEAR(std::fabs(EdgeAt(doc, 0)->GetOffset()),
                    std::abs(d) < 5 ? 0.0 : std::abs(d) / 24.0, 1e-6)
            << d;
    }
    for (int y : {40, 190}) {  // a loop: above or below
        EXPECT_EQ(Drop(EdgeAt(doc, 0, 1), {130, y}), (CPoint{100, y}));
    }
    for (int c = 0; c < 8; ++c) {  // lower number on top or not, edge down or up, right or left
        const bool lowerOnTop = c & 1;
        const int from = lowerOnTop == bool(c & 2) ? 1 : 2, x = c & 4 ? 50 : 150;
        CGrammer vertical;
        Place(vertical, {{100, lowerOnTop ? 100 : 300}, {100, lowerOnTop ? 300 : 100}},
              {{from, 3 - from, "e"}});
        const CPoint middle = Drop(EdgeAt(vertical, from - 1), {x, 200});
        EXPECT_TRUE(OnArc(DrawEdge(EdgeAt(vertical, from - 1))[0], {x, 200}));
        EXPECT_TRUE(std::abs(middle.x - x) <= 1 && middle.y == 200) << c;
    }
}

// Only a hand-made file puts nodes at the coordinate limits: nothing huge
// reaches the surface still.
TEST(DegenerateEdges, NodesAtTheCoordinateLimitsDrawWithinBounds) {
    CGrammer doc;
    Place(doc, {{100, 100}, {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MIN}},
          {{2, 3, "a"}, {3, 2, "b"}, {2, 2, "loop"}, {3, 3, "x"}});
    RecordingSurface dc;
    doc.Draw(&dc);
    for (const Call& c : dc.Calls()) {
        for (int v :
             {c.box.left, c.box.top, c.box.right, c.box.bottom, c.a.x, c.a.y, c.b.x, c.b.y}) {
            EXPECT_LE(std::abs(int64_t{v}), 1'100'000'000);
        }
    }
}

// Edges beneath nodes; only what meets the clip is drawn, yet every label is
// placed for hit tests.
TEST(GraphDrawing, EdgesBeneathNodesAndOnlyWhatMeetsTheClip) {
    CGrammer doc;
    Place(doc, {{100, 100}, {300, 100}, {5000, 5000}}, {{1, 2, "near"}, {3, 3, "far"}});
    RecordingSurface all, part;
    doc.Draw(&all);
    EXPECT_EQ(Shapes(all.Calls(), true), "LLLTATPTPTPT");
    EdgeAt(doc, 2)->SetLabelRect({});
    part.SetClip({0, 0, 400, 300});
    doc.Draw(&part);
    EXPECT_EQ(Shapes(part.Calls(), true), "LLLTPTPT");
    EXPECT_FALSE(EdgeAt(doc, 2)->GetLabelRect().IsRectEmpty());
}

}  // namespace
