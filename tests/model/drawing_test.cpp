// Drawing the graph: the exact calls for the reference cases (H = 16, W = 8),
// the geometry by its meaning, and degenerate input.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "support/grammar_builder.h"
#include "support/recording_surface.h"

namespace {

using Call = lumo_test::RecordingSurface::Call;
using lumo_test::AddEdge;
using lumo_test::RecordingSurface;

// Puts the nodes of MAIN at the given points (node 1 is moved), and the edges
// between them.
void Place(CGrammer& doc, std::initializer_list<CPoint> points,
           std::initializer_list<lumo_test::Arc> arcs = {}) {
    doc.FindNode({100, 100});
    doc.MoveSelectedNode(*points.begin());
    for (auto p = points.begin() + 1; p != points.end(); ++p) {
        doc.AddNode(*p);
    }
    lumo_test::Build(doc, arcs);
}

CEdge* EdgeAt(CGrammer& doc, int slot, int index) {
    return doc.GetCurrentGraph()->GetElement(slot)->GetEdge(index);
}

std::vector<Call> DrawEdge(CEdge* edge, int h = 16, int w = 8) {
    RecordingSurface dc(h, w);
    edge->Draw(&dc);
    return dc.Calls();
}

CPoint CentreOf(const CRect& r) {
    return CPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The calls in a line each: kind, box (not for lines), then the two points
// (not for text).
std::string Shapes(const std::vector<Call>& calls) {
    std::string out;
    auto pt = [](CPoint p) { return " " + std::to_string(p.x) + "," + std::to_string(p.y); };
    for (const Call& c : calls) {
        const CRect& b = c.box;
        out += std::string(out.empty() ? "" : "; ") + "PALT"[c.kind] +
               (c.kind == Call::Line ? "" : pt({b.left, b.top}) + pt({b.right, b.bottom})) +
               (c.kind == Call::Text ? "" : pt(c.a) + pt(c.b));
    }
    return out;
}

// Drags the edge's label to pt.
void Drop(CEdge* edge, CPoint pt) {
    RecordingSurface dc;
    edge->Draw(&dc);
    edge->HighlightLabel(&dc);
    edge->DropLabel(&dc, pt);
}

// Whether p lies on the counterclockwise sweep of the arc call and near its
// circle. The box's four truncated sides can move the circle read back from
// it by 1.5 units, and the chord's integer midpoint moves the true circle by
// up to 0.71; more than that is a fault.
::testing::AssertionResult OnArc(const Call& arc, CPoint p) {
    const double cx = (arc.box.left + arc.box.right) / 2.0;
    const double cy = (arc.box.top + arc.box.bottom) / 2.0;
    const double d = std::hypot(p.x - cx, p.y - cy), r = (arc.box.right - arc.box.left) / 2.0;
    if (std::fabs(d - r) > 2.25) {
        return ::testing::AssertionFailure() << p.x << "," << p.y << " is " << d << " from "
                                             << "the centre, radius " << r;
    }
    const double twoPi = 2 * std::numbers::pi;
    auto angle = [&](CPoint q) { return std::atan2(-(q.y - cy), q.x - cx); };
    auto norm = [twoPi](double a) { return std::fmod(std::fmod(a, twoPi) + twoPi, twoPi); };
    const double sweep = norm(angle(arc.b) - angle(arc.a)), at = norm(angle(p) - angle(arc.a));
    if (arc.a != arc.b && at > sweep + 0.02 && at < twoPi - 0.02) {
        return ::testing::AssertionFailure() << p.x << "," << p.y << " is off the sweep";
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
        EXPECT_EQ(number.text, "1");
        EXPECT_EQ(number.textColor, Colors::Yellow);
        EXPECT_TRUE(dc.GetPen() == CPen{} && dc.GetBrush() == Colors::White);  // both put back
        doc.ToggleNodeFinal({100, 100});
    }
}

TEST(EdgeDrawing, StraightEdgeWithArrowAndLabel) {
    CGrammer doc;
    Place(doc, {{100, 100}, {300, 100}}, {{1, 2, "id"}});
    const std::vector<Call> calls = DrawEdge(EdgeAt(doc, 0, 0));
    EXPECT_EQ(Shapes(calls),
              "L 100,100 300,100; L 300,100 260,103; L 300,100 260,97; T 192,92 208,108");
    EXPECT_EQ(calls[3].textColor, Colors::Blue);
    EXPECT_EQ(calls[3].bkColor, Colors::Cyan);
    EXPECT_EQ(EdgeAt(doc, 0, 0)->GetLabelRect(), (CRect{192, 92, 208, 108}));

    // A label is as wide as the characters it shows, not as its bytes.
    AddEdge(doc, 1, 2, "\xC3\xA9\xE2\x86\x92");
    DrawEdge(EdgeAt(doc, 0, 1));
    EXPECT_EQ(EdgeAt(doc, 0, 1)->GetLabelRect().right - EdgeAt(doc, 0, 1)->GetLabelRect().left, 16);
}

TEST(EdgeDrawing, SecondEdgeIsAnArcBelowWithTwoBarbsLoopsAreCircles) {
    CGrammer doc;
    Place(doc, {{100, 100}, {300, 100}}, {{1, 2, "first"}, {2, 1, "id"}});  // bend +1
    const std::vector<Call> calls = DrawEdge(EdgeAt(doc, 1, 0));
    // The arc, then the barbs from P to Q (138, 109).
    EXPECT_EQ(Shapes(calls),
              "A -20,-316 420,124 100,100 300,100; A -106,-495 506,116 100,100 138,109; "
              "A 24,-220 375,131 100,100 138,109; T 192,116 208,132");
    EXPECT_EQ(calls[1].pen, (CPen{Colors::Black, 1}));

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
    const CPoint places[][2] = {{{100, 100}, {300, 100}}, {{100, 100}, {100, 300}},
                                {{100, 100}, {300, 250}}, {{420, 80}, {130, 390}},
                                {{500, 500}, {497, 120}}, {{50, 600}, {800, 590}}};
    for (const auto& pair : places) {
        for (float bend : {1.0f, -1.0f, 2.0f, -3.0f, 0.4f, -7.5f}) {
            for (int from : {1, 2}) {
                CGrammer doc;
                Place(doc, {pair[0], pair[1]}, {{from, 3 - from, "lbl"}});
                CEdge* edge = EdgeAt(doc, from - 1, 0);
                edge->SetOffset(bend);
                const std::vector<Call> calls = DrawEdge(edge);
                SCOPED_TRACE(::testing::Message() << pair[0].x << "," << pair[0].y << " "
                                                  << pair[1].x << " bend " << bend << from);
                ASSERT_EQ(calls[0].kind, Call::Arc);
                EXPECT_TRUE(OnArc(calls[0], pair[0]));
                EXPECT_TRUE(OnArc(calls[0], pair[1]));
                const CPoint mid = CentreOf(edge->GetLabelRect());
                EXPECT_TRUE(OnArc(calls[0], mid));
                const int64_t side = int64_t{pair[1].x - pair[0].x} * (mid.y - pair[0].y) -
                                     int64_t{pair[1].y - pair[0].y} * (mid.x - pair[0].x);
                EXPECT_EQ(side > 0, bend > 0);
                const CPoint target = pair[2 - from];  // both barbs start or end there
                for (int i : {1, 2}) {
                    EXPECT_TRUE(calls[i].a == target || calls[i].b == target);
                }
            }
        }
    }
}

TEST(LabelDrag, HighlightAndDrop) {
    CGrammer doc;
    Place(doc, {{0, 0}, {100, 100}}, {{1, 2, "abc"}});
    CEdge* edge = EdgeAt(doc, 0, 0);
    RecordingSurface dc;
    edge->Draw(&dc);
    EXPECT_FALSE(edge->DropLabel(&dc, {0, 100}));  // not picked
    EXPECT_EQ(edge->GetOffset(), 0.0f);

    edge->HighlightLabel(&dc);
    const Call& text = dc.Calls().back();
    EXPECT_EQ(text.textColor, Colors::White);
    EXPECT_EQ(text.bkColor, Colors::Blue);
    EXPECT_EQ(text.box, edge->GetLabelRect());
    EXPECT_TRUE(edge->IsHighlighted());
    EXPECT_TRUE(edge->DropLabel(&dc, {0, 100}));
    EXPECT_FALSE(edge->IsHighlighted());
    EXPECT_NEAR(std::fabs(edge->GetOffset()), std::sqrt(5000.0) / 24, 1e-5);
    EXPECT_TRUE(OnArc(DrawEdge(edge)[0], {0, 100}));
    EXPECT_EQ(CentreOf(edge->GetLabelRect()), (CPoint{0, 100}));
}

// A label dropped closer than 5 units to the middle of its line straightens
// the edge; from 5 units on it bends it by the distance over 1.5 H.
TEST(LabelDrag, DropsNearTheLineStraightenFromFiveUnitsTheyBend) {
    CGrammer doc;
    Place(doc, {{100, 100}, {300, 100}}, {{1, 2, "e"}});
    CEdge* edge = EdgeAt(doc, 0, 0);
    for (int d = 0; d <= 12; ++d) {
        for (int side : {-1, 1}) {
            edge->SetOffset(3.0f);
            Drop(edge, {200, 100 + side * d});
            EXPECT_NEAR(std::fabs(edge->GetOffset()), d < 5 ? 0.0 : d / 24.0, 1e-6) << side * d;
        }
    }
}

TEST(LabelDrag, VerticalChordsAndLoopsFollowTheDrop) {
    for (int c = 0; c < 8; ++c) {  // lower number on top or not, edge down or up, right or left
        const bool lowerOnTop = c & 1;
        const int from = lowerOnTop == bool(c & 2) ? 1 : 2, x = c & 4 ? 50 : 150;
        CGrammer doc;
        Place(doc, {{100, lowerOnTop ? 100 : 300}, {100, lowerOnTop ? 300 : 100}},
              {{from, 3 - from, "e"}});
        CEdge* edge = EdgeAt(doc, from - 1, 0);
        Drop(edge, {x, 200});
        const std::vector<Call> calls = DrawEdge(edge);
        const CPoint middle = CentreOf(edge->GetLabelRect());
        EXPECT_LE(std::abs(middle.x - x), 1) << c;
        EXPECT_EQ(middle.y, 200);
        EXPECT_TRUE(OnArc(calls[0], {x, 200}));
    }
    CGrammer doc;
    AddEdge(doc, 1, 1, "x");
    for (int y : {40, 190}) {  // a loop: above or below
        Drop(EdgeAt(doc, 0, 0), {130, y});
        DrawEdge(EdgeAt(doc, 0, 0));
        EXPECT_EQ(CentreOf(EdgeAt(doc, 0, 0)->GetLabelRect()), (CPoint{100, y}));
    }
}

bool Sane(const std::vector<Call>& calls, int64_t limit = 1'000'000'000) {
    for (const Call& c : calls) {
        for (int v :
             {c.box.left, c.box.top, c.box.right, c.box.bottom, c.a.x, c.a.y, c.b.x, c.b.y}) {
            if (std::abs(int64_t{v}) > limit) {
                return false;
            }
        }
    }
    return true;
}

TEST(DegenerateEdges, NothingNonFiniteOrHugeReachesTheSurface) {
    // Two nodes moved onto one point, or a loop straightened by a drop: a
    // line of no length and no arrowhead; bent, a circle without barbs.
    CGrammer same;
    Place(same, {{200, 200}, {300, 300}}, {{1, 2, "s"}, {1, 1, "loop"}});
    same.FindNode({300, 300});
    same.MoveSelectedNode({200, 200});
    EdgeAt(same, 0, 1)->SetOffset(0.0f);
    for (CEdge* e : {EdgeAt(same, 0, 0), EdgeAt(same, 0, 1)}) {
        std::vector<Call> calls = DrawEdge(e);
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0].kind, Call::Line);
        EXPECT_EQ(calls[0].a, calls[0].b);
        e->SetOffset(1.0f);
        calls = DrawEdge(e);
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0].kind, Call::Arc);
        EXPECT_TRUE(Sane(calls));
    }

    CGrammer doc;
    Place(doc, {{100, 100}, {300, 160}}, {{1, 2, "e"}});
    CEdge* edge = EdgeAt(doc, 0, 0);
    for (float bend : {1e30f, -1e30f, 1e-30f, 1e-44f, INFINITY, -INFINITY, NAN, 3e8f}) {
        edge->SetOffset(bend);
        EXPECT_TRUE(Sane(DrawEdge(edge))) << bend;
        EXPECT_TRUE(Sane(DrawEdge(edge, 0, 0))) << bend;  // a surface without a font
    }
    // A drop far away bends the edge enormously; it still draws sanely.
    edge->SetOffset(0);
    Drop(edge, {2'000'000'000, -2'000'000'000});
    EXPECT_TRUE(std::isfinite(edge->GetOffset()));
    EXPECT_TRUE(Sane(DrawEdge(edge)));
    RecordingSurface noFont(0, 0);
    edge->HighlightLabel(&noFont);
    edge->DropLabel(&noFont, {0, 900});
    EXPECT_TRUE(std::isfinite(edge->GetOffset()));

    // Only a hand-made file can put nodes at the coordinate limits; drawing
    // must not overflow there.
    CGrammer far;
    Place(far, {{INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX}, {INT32_MIN, INT32_MIN}},
          {{1, 1, "loop"}});
    CGraph* graph = far.GetCurrentGraph();
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            graph->GetElement(i)->AddEdge(graph->GetElement(i), graph->GetElement(j), "e", "",
                                          false);
        }
    }
    graph->GetElement(1)->GetEdge(1)->SetOffset(2.5f);
    RecordingSurface dc;
    far.Draw(&dc);
    EXPECT_TRUE(Sane(dc.Calls(), 1'100'000'000));
}

TEST(GraphDrawing, EdgesBeneathNodesAndOnlyWhatMeetsTheClip) {
    CGrammer doc;
    Place(doc, {{100, 100}, {300, 100}, {5000, 5000}}, {{1, 2, "near"}, {3, 3, "far"}});
    RecordingSurface all;
    doc.Draw(&all);
    size_t firstPie = all.Calls().size();
    for (size_t i = 0; i < all.Calls().size(); ++i) {
        if (all.Calls()[i].kind == Call::Pie) {
            firstPie = std::min(firstPie, i);
        } else if (all.Calls()[i].kind != Call::Text || all.Calls()[i].bkColor == Colors::Cyan) {
            EXPECT_LT(i, firstPie) << "edge drawn over a node";
        }
    }
    EXPECT_EQ(all.Of(Call::Pie).size(), 3u);

    EdgeAt(doc, 2, 0)->SetLabelRect({});
    RecordingSurface part;
    part.SetClip({0, 0, 400, 300});
    doc.Draw(&part);
    EXPECT_EQ(part.Of(Call::Pie).size(), 2u);
    EXPECT_EQ(part.Of(Call::Arc).size(), 0u);                       // the far loop is not drawn...
    EXPECT_FALSE(EdgeAt(doc, 2, 0)->GetLabelRect().IsRectEmpty());  // ...but is hittable
}

}  // namespace
