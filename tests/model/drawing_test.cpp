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

// Puts the nodes of MAIN at the given points (node 1 is moved).
void PlaceNodes(CGrammer& doc, std::initializer_list<CPoint> points) {
    bool first = true;
    for (const CPoint& p : points) {
        if (first) {
            doc.FindNode({100, 100});
            doc.MoveSelectedNode(p);
            first = false;
        } else {
            doc.AddNode(p);
        }
    }
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

// Screen angle (counterclockwise, y down) of p seen from c.
double Angle(double cx, double cy, CPoint p) {
    return std::atan2(-(p.y - cy), p.x - cx);
}

// Whether p lies on the counterclockwise sweep of the arc call and near its
// circle. The box's four truncated sides can move the circle read back from
// it by 1.5 units, and the chord's integer midpoint moves the true circle by
// up to 0.71; more than that is a fault.
::testing::AssertionResult OnArc(const Call& arc, CPoint p) {
    const double cx = (arc.box.left + arc.box.right) / 2.0;
    const double cy = (arc.box.top + arc.box.bottom) / 2.0;
    const double r = (arc.box.right - arc.box.left) / 2.0;
    const double d = std::hypot(p.x - cx, p.y - cy);
    if (std::fabs(d - r) > 2.25) {
        return ::testing::AssertionFailure()
               << "(" << p.x << ", " << p.y << ") is " << d << " from the centre, radius " << r;
    }
    if (arc.a == arc.b) {
        return ::testing::AssertionSuccess();
    }
    const double twoPi = 2 * std::numbers::pi;
    auto norm = [twoPi](double a) { return std::fmod(std::fmod(a, twoPi) + twoPi, twoPi); };
    const double start = Angle(cx, cy, arc.a);
    const double sweep = norm(Angle(cx, cy, arc.b) - start);
    const double at = norm(Angle(cx, cy, p) - start);
    if (at > sweep + 0.02 && at < twoPi - 0.02) {
        return ::testing::AssertionFailure() << "(" << p.x << ", " << p.y << ") is off the sweep";
    }
    return ::testing::AssertionSuccess();
}

TEST(NodeDrawing, BlackDiscOrRedWhenFinalWithAYellowNumber) {
    CGrammer doc;
    RecordingSurface dc;
    doc.Draw(&dc);
    ASSERT_EQ(dc.Calls().size(), 2u);
    const Call& disc = dc.Calls()[0];
    EXPECT_EQ(disc.kind, Call::Pie);
    EXPECT_EQ(disc.box, (CRect{85, 85, 115, 115}));
    EXPECT_EQ(disc.a, (CPoint{100, 85}));
    EXPECT_EQ(disc.b, disc.a);
    EXPECT_EQ(disc.brush, Colors::Black);
    EXPECT_EQ(disc.pen.color, Colors::Black);
    const Call& number = dc.Calls()[1];
    EXPECT_EQ(number.text, "1");
    EXPECT_EQ(number.box, disc.box);
    EXPECT_EQ(number.textColor, Colors::Yellow);
    EXPECT_EQ(number.bkColor, Colors::Black);

    doc.ToggleNodeFinal({100, 100});
    RecordingSurface final;
    doc.Draw(&final);
    EXPECT_EQ(final.Calls()[0].brush, Colors::Red);
    EXPECT_EQ(final.Calls()[0].pen.color, Colors::Red);
    EXPECT_EQ(final.Calls()[1].bkColor, Colors::Red);
    EXPECT_EQ(final.Calls()[1].textColor, Colors::Yellow);
    EXPECT_EQ(final.GetPen(), CPen{});  // the pen is put back
}

TEST(EdgeDrawing, StraightEdgeWithArrowAndLabel) {
    CGrammer doc;
    PlaceNodes(doc, {{100, 100}, {300, 100}});
    AddEdge(doc, 1, 2, "id");
    const std::vector<Call> calls = DrawEdge(EdgeAt(doc, 0, 0));
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].a, (CPoint{100, 100}));
    EXPECT_EQ(calls[0].b, (CPoint{300, 100}));
    EXPECT_EQ(calls[1].a, (CPoint{300, 100}));
    EXPECT_EQ(calls[1].b, (CPoint{260, 103}));
    EXPECT_EQ(calls[2].b, (CPoint{260, 97}));
    EXPECT_EQ(calls[3].kind, Call::Text);
    EXPECT_EQ(calls[3].box, (CRect{192, 92, 208, 108}));
    EXPECT_EQ(calls[3].textColor, Colors::Blue);
    EXPECT_EQ(calls[3].bkColor, Colors::Cyan);
    EXPECT_EQ(EdgeAt(doc, 0, 0)->GetLabelRect(), (CRect{192, 92, 208, 108}));
}

// A label is as wide as the characters it shows: UTF-8 when the bytes are
// UTF-8, one character a byte (Windows-1252) otherwise.
TEST(EdgeDrawing, LabelWidthCountsCharactersNotBytes) {
    const std::pair<std::string, int> cases[] = {
        {"abc", 3}, {"\xC3\xA9\xE2\x86\x92\xC3\xBC", 3}, {"\xE9\xFC", 2}, {"\xC3", 1}, {"", 0}};
    for (const auto& [input, chars] : cases) {
        CGrammer doc;
        PlaceNodes(doc, {{100, 100}, {300, 100}});
        AddEdge(doc, 1, 2, input);
        DrawEdge(EdgeAt(doc, 0, 0));
        const CRect label = EdgeAt(doc, 0, 0)->GetLabelRect();
        EXPECT_EQ(label.right - label.left, chars * 8) << input;
        EXPECT_EQ(label.left, 200 - chars * 4) << input;
    }
}

TEST(EdgeDrawing, SecondEdgeIsAnArcBelowWithTwoBarbs) {
    CGrammer doc;
    PlaceNodes(doc, {{100, 100}, {300, 100}});
    AddEdge(doc, 1, 2, "first");
    AddEdge(doc, 2, 1, "id");  // bend +1
    const std::vector<Call> calls = DrawEdge(EdgeAt(doc, 1, 0));
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].kind, Call::Arc);
    EXPECT_EQ(calls[0].box, (CRect{-20, -316, 420, 124}));
    EXPECT_EQ(calls[0].a, (CPoint{100, 100}));
    EXPECT_EQ(calls[0].b, (CPoint{300, 100}));
    EXPECT_EQ(calls[1].box, (CRect{-106, -495, 506, 116}));
    EXPECT_EQ(calls[2].box, (CRect{24, -220, 375, 131}));
    for (const Call& barb : {calls[1], calls[2]}) {
        EXPECT_EQ(barb.kind, Call::Arc);
        EXPECT_EQ(barb.a, (CPoint{100, 100}));
        EXPECT_EQ(barb.b, (CPoint{138, 109}));  // Q
        EXPECT_EQ(barb.pen, (CPen{Colors::Black, 1}));
    }
    EXPECT_EQ(calls[3].box, (CRect{192, 116, 208, 132}));
    EXPECT_TRUE(OnArc(calls[0], {200, 124}));  // P, the middle

    AddEdge(doc, 1, 2, "id");  // bend -1: the same amount above
    EXPECT_EQ(CentreOf(DrawEdge(EdgeAt(doc, 0, 1)).back().box), (CPoint{200, 76}));
}

TEST(EdgeDrawing, LoopsAreCirclesThroughTheNode) {
    CGrammer doc;
    AddEdge(doc, 1, 1, "x");  // bend -1
    AddEdge(doc, 1, 1, "y");  // bend +2
    std::vector<Call> first = DrawEdge(EdgeAt(doc, 0, 0));
    ASSERT_EQ(first.size(), 2u);  // no arrowhead
    EXPECT_EQ(first[0].box, (CRect{88, 76, 112, 100}));
    EXPECT_EQ(first[0].a, (CPoint{100, 100}));
    EXPECT_EQ(first[0].b, (CPoint{100, 100}));
    EXPECT_EQ(CentreOf(first[1].box), (CPoint{100, 76}));
    std::vector<Call> second = DrawEdge(EdgeAt(doc, 0, 1));
    EXPECT_EQ(second[0].box, (CRect{76, 100, 124, 148}));
    EXPECT_EQ(CentreOf(second[1].box), (CPoint{100, 148}));
}

TEST(EdgeDrawing, ArcSideFollowsTheLowerNumberedEnd) {
    CGrammer doc;
    PlaceNodes(doc, {{300, 100}, {100, 100}});
    AddEdge(doc, 1, 2, "");
    EdgeAt(doc, 0, 0)->SetOffset(1.0f);
    std::vector<Call> calls = DrawEdge(EdgeAt(doc, 0, 0));
    EXPECT_EQ(calls[0].box, (CRect{-20, 76, 420, 516}));
    EXPECT_EQ(calls[0].a, (CPoint{300, 100}));
    EXPECT_EQ(calls[0].b, (CPoint{100, 100}));
    EXPECT_TRUE(OnArc(calls[0], {200, 76}));
    EXPECT_EQ(CentreOf(EdgeAt(doc, 0, 0)->GetLabelRect()), (CPoint{200, 76}));

    CGrammer swapped;
    PlaceNodes(swapped, {{100, 100}, {300, 100}});
    AddEdge(swapped, 1, 2, "");
    EdgeAt(swapped, 0, 0)->SetOffset(1.0f);
    DrawEdge(EdgeAt(swapped, 0, 0));
    EXPECT_EQ(CentreOf(EdgeAt(swapped, 0, 0)->GetLabelRect()), (CPoint{200, 124}));
}

TEST(EdgeDrawing, EveryArcPassesThroughBothCentresAndItsMiddle) {
    const CPoint places[][2] = {{{100, 100}, {300, 100}}, {{100, 100}, {100, 300}},
                                {{100, 100}, {300, 250}}, {{420, 80}, {130, 390}},
                                {{500, 500}, {497, 120}}, {{50, 600}, {800, 590}}};
    for (const auto& pair : places) {
        for (float bend : {1.0f, -1.0f, 2.0f, -3.0f, 0.4f, -7.5f}) {
            for (bool reverse : {false, true}) {
                CGrammer doc;
                PlaceNodes(doc, {pair[0], pair[1]});
                AddEdge(doc, reverse ? 2 : 1, reverse ? 1 : 2, "lbl");
                CEdge* edge = EdgeAt(doc, reverse ? 1 : 0, 0);
                edge->SetOffset(bend);
                const std::vector<Call> calls = DrawEdge(edge);
                SCOPED_TRACE(::testing::Message()
                             << pair[0].x << "," << pair[0].y << " " << pair[1].x << ","
                             << pair[1].y << " bend " << bend << (reverse ? " reversed" : ""));
                ASSERT_EQ(calls[0].kind, Call::Arc);
                EXPECT_TRUE(OnArc(calls[0], pair[0]));
                EXPECT_TRUE(OnArc(calls[0], pair[1]));
                EXPECT_TRUE(OnArc(calls[0], CentreOf(edge->GetLabelRect())));
                // Both barbs start or end at the target.
                const CPoint target = reverse ? pair[0] : pair[1];
                for (int i : {1, 2}) {
                    EXPECT_TRUE(calls[i].a == target || calls[i].b == target);
                }
            }
        }
    }
}

TEST(LabelDrag, HighlightAndDrop) {
    CGrammer doc;
    PlaceNodes(doc, {{0, 0}, {100, 100}});
    AddEdge(doc, 1, 2, "abc");
    CEdge* edge = EdgeAt(doc, 0, 0);
    RecordingSurface dc;
    edge->Draw(&dc);
    EXPECT_EQ(edge->GetLabelRect().right - edge->GetLabelRect().left, 24);
    EXPECT_EQ(edge->GetLabelRect().bottom - edge->GetLabelRect().top, 16);

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
    const std::vector<Call> arc = DrawEdge(edge);
    EXPECT_TRUE(OnArc(arc[0], {0, 100}));
    EXPECT_EQ(CentreOf(edge->GetLabelRect()), (CPoint{0, 100}));

    // Three units from the line: straight again.
    edge->HighlightLabel(&dc);
    EXPECT_TRUE(edge->DropLabel(&dc, {52, 48}));
    EXPECT_EQ(edge->GetOffset(), 0.0f);
}

TEST(LabelDrag, VerticalChordFollowsTheDropWhateverTheNumbersAndDirection) {
    for (bool lowerOnTop : {true, false}) {
        for (bool downward : {true, false}) {
            for (int x : {150, 50}) {
                CGrammer doc;
                if (lowerOnTop) {
                    PlaceNodes(doc, {{100, 100}, {100, 300}});
                } else {
                    PlaceNodes(doc, {{100, 300}, {100, 100}});
                }
                const bool fromOne = downward == lowerOnTop;
                AddEdge(doc, fromOne ? 1 : 2, fromOne ? 2 : 1, "e");
                CEdge* edge = EdgeAt(doc, fromOne ? 0 : 1, 0);
                RecordingSurface dc;
                edge->Draw(&dc);
                edge->HighlightLabel(&dc);
                edge->DropLabel(&dc, {x, 200});
                const std::vector<Call> calls = DrawEdge(edge);
                const CPoint middle = CentreOf(edge->GetLabelRect());
                EXPECT_LE(std::abs(middle.x - x), 1) << lowerOnTop << downward << x;
                EXPECT_EQ(middle.y, 200);
                EXPECT_TRUE(OnArc(calls[0], {x, 200}));
            }
        }
    }
}

TEST(LabelDrag, LoopFollowsTheDropAboveOrBelow) {
    CGrammer doc;
    AddEdge(doc, 1, 1, "x");
    CEdge* edge = EdgeAt(doc, 0, 0);
    RecordingSurface dc;
    for (int y : {40, 190}) {
        edge->HighlightLabel(&dc);
        edge->DropLabel(&dc, {130, y});
        DrawEdge(edge);
        EXPECT_EQ(CentreOf(edge->GetLabelRect()), (CPoint{100, y}));
    }
}

TEST(DegenerateEdges, NothingNonFiniteOrHugeReachesTheSurface) {
    auto sane = [](const std::vector<Call>& calls) {
        for (const Call& c : calls) {
            for (int v :
                 {c.box.left, c.box.top, c.box.right, c.box.bottom, c.a.x, c.a.y, c.b.x, c.b.y}) {
                if (std::abs(v) > 1'000'000'000) {
                    return false;
                }
            }
        }
        return true;
    };
    // Two nodes moved onto one point, or a loop straightened by a drop: a
    // line of no length and no arrowhead.
    CGrammer same;
    PlaceNodes(same, {{200, 200}, {300, 300}});
    AddEdge(same, 1, 2, "s");
    AddEdge(same, 1, 1, "loop");
    same.FindNode({300, 300});
    same.MoveSelectedNode({200, 200});
    EdgeAt(same, 0, 1)->SetOffset(0.0f);
    for (CEdge* e : {EdgeAt(same, 0, 0), EdgeAt(same, 0, 1)}) {
        std::vector<Call> calls = DrawEdge(e);
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0].kind, Call::Line);
        EXPECT_EQ(calls[0].a, calls[0].b);
        // ...and bent, a circle like a loop, without barbs.
        e->SetOffset(1.0f);
        calls = DrawEdge(e);
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0].kind, Call::Arc);
        EXPECT_TRUE(sane(calls));
    }

    CGrammer doc;
    PlaceNodes(doc, {{100, 100}, {300, 160}});
    AddEdge(doc, 1, 2, "e");
    CEdge* edge = EdgeAt(doc, 0, 0);
    for (float bend : {1e30f, -1e30f, 1e-30f, 1e-44f, INFINITY, -INFINITY, NAN, 3e8f}) {
        edge->SetOffset(bend);
        EXPECT_TRUE(sane(DrawEdge(edge))) << bend;
        EXPECT_TRUE(sane(DrawEdge(edge, 0, 0))) << bend;  // a surface without a font
    }
    // A drop far away bends the edge enormously; it still draws sanely.
    RecordingSurface dc;
    edge->SetOffset(0);
    edge->Draw(&dc);
    edge->HighlightLabel(&dc);
    edge->DropLabel(&dc, {2'000'000'000, -2'000'000'000});
    EXPECT_TRUE(std::isfinite(edge->GetOffset()));
    EXPECT_TRUE(sane(DrawEdge(edge)));
    edge->HighlightLabel(&dc);
    RecordingSurface noFont(0, 0);
    edge->DropLabel(&noFont, {0, 900});
    EXPECT_TRUE(std::isfinite(edge->GetOffset()));
}

TEST(DegenerateEdges, NodesAtTheCoordinateLimitsDrawSanely) {
    // Only a hand-made file can put nodes there; drawing must not overflow.
    CGrammer doc;
    PlaceNodes(doc, {{INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX}, {INT32_MIN, INT32_MIN}});
    AddEdge(doc, 1, 1, "loop");  // picked by number: the first node found there
    CGraph* graph = doc.GetCurrentGraph();
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            graph->GetElement(i)->AddEdge(graph->GetElement(i), graph->GetElement(j), "e", "",
                                          false);
        }
    }
    graph->GetElement(1)->GetEdge(1)->SetOffset(2.5f);
    RecordingSurface dc;
    doc.Draw(&dc);
    for (const Call& c : dc.Calls()) {
        for (int v : {c.box.left, c.box.right, c.a.x, c.b.x}) {
            EXPECT_LE(std::abs(int64_t{v}), 1'100'000'000) << c.kind;
        }
    }
}

TEST(GraphDrawing, EdgesBeneathNodesAndOnlyWhatMeetsTheClip) {
    CGrammer doc;
    PlaceNodes(doc, {{100, 100}, {300, 100}, {5000, 5000}});
    AddEdge(doc, 1, 2, "near");
    AddEdge(doc, 3, 3, "far");
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
