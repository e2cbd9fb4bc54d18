// The layout of imported graphs, measured on what the editor draws.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "ebnf/import.h"
#include "ebnf/layout.h"
#include "support/grammar_builder.h"
#include "support/recording_surface.h"

namespace {

constexpr double kRadius = CGraphNode::kRadius;
using Call = lumo_test::RecordingSurface::Call;

struct Point {
    double x, y;
};
bool OnCanvas(double x, double y) {
    return x >= 0 && y >= 0 && x <= ebnf::kCanvasSize && y <= ebnf::kCanvasSize;
}
bool Near(Point p, CPoint c, double distance) {
    return std::hypot(p.x - c.x, p.y - c.y) < distance;
}

// Points along an edge as the editor draws it: a line, or an arc
// counterclockwise on the screen from the ray through a to the ray through b.
std::vector<Point> PathOf(CEdge& e) {
    lumo_test::RecordingSurface surface(ebnf::kLayoutFontHeight, ebnf::kLayoutFontWidth);
    e.Draw(&surface);
    const auto arcs = surface.Of(Call::Arc);
    const CPoint a = e.GetFrom()->GetCenter(), b = e.GetTo()->GetCenter();
    std::vector<Point> path;
    for (int i = 0; arcs.empty() && i <= 100; ++i)
        path.push_back({a.x + (b.x - a.x) * i / 100.0, a.y + (b.y - a.y) * i / 100.0});
    if (arcs.empty())
        return path;
    const CRect& box = arcs.front().box;
    const double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
    const double r = (box.right - box.left) / 2.0, turn = 2 * std::numbers::pi;
    auto angle = [&](CPoint p) { return std::atan2(cy - p.y, p.x - cx); };
    const double start = angle(arcs.front().a);
    double sweep = std::fmod(angle(arcs.front().b) - start + 2 * turn, turn);
    sweep = sweep == 0 ? turn : sweep;
    for (int i = 0; i <= 200; ++i) {
        const double t = start + sweep * i / 200;
        path.push_back({cx + r * std::cos(t), cy - r * std::sin(t)});
    }
    return path;
}

// Nodes apart; no label on a node, no edge through one or off the canvas;
// with readable, no label on another.
void ExpectWellDrawn(const std::string& text, bool readable = false) {
    CGrammer doc;
    ebnf::ImportEbnf(text, doc);
    for (int g = 0; g < doc.GetGraphCount(); ++g) {
        const auto fail = [&](const std::string& problem) {
            ADD_FAILURE() << doc.GetGraphName(g) << ": " << problem << "\n" << text;
        };
        const CGraph& graph = *doc.GetGraph(g);
        std::vector<CPoint> centres;
        std::vector<CEdge*> edges;
        for (int i = 0; i < graph.GetNodeCount(); ++i) {
            const CPoint c = graph.GetElement(i)->GetCenter();
            if (std::any_of(centres.begin(), centres.end(), [&](CPoint d) {
                    return Near({double(c.x), double(c.y)}, d, 2 * kRadius);
                }))
                fail("node " + std::to_string(i + 1) + " on another");
            centres.push_back(c);
            for (int j = 0; j < graph.GetElement(i)->GetEdgeCount(); ++j)
                edges.push_back(graph.GetElement(i)->GetEdge(j));
        }
        for (CEdge* e : edges) {
            const std::string edge =
                "edge " + e->GetInput() + " from node " + std::to_string(e->GetFrom()->GetNumber());
            const std::vector<Point> path = PathOf(*e);
            const CRect l = e->GetLabelRect();
            if (!OnCanvas(l.left, l.top) || !OnCanvas(l.right, l.bottom) ||
                std::any_of(path.begin(), path.end(), [](Point p) { return !OnCanvas(p.x, p.y); }))
                fail(edge + " or its label off the canvas");
            for (const CPoint c : centres) {
                if (Near({std::clamp<double>(c.x, l.left, l.right),
                          std::clamp<double>(c.y, l.top, l.bottom)},
                         c, kRadius))
                    fail(edge + ": label on a node");
                if (c != e->GetFrom()->GetCenter() && c != e->GetTo()->GetCenter() &&
                    std::any_of(path.begin(), path.end(),
                                [&](Point p) { return Near(p, c, kRadius); }))
                    fail(edge + " through a node");
            }
            for (const CEdge* other : edges) {
                const CRect q = other->GetLabelRect();
                if (readable && e < other && l.left < q.right && q.left < l.right &&
                    l.top < q.bottom && q.top < l.bottom)
                    fail("labels " + e->GetInput() + " and " + other->GetInput() + " overlap");
            }
        }
    }
}

TEST(EbnfLayout, DrawsTheExamplesAndHardCasesCleanly) {
    for (const char* grammar :
         {"examples/arith.ebnf", "examples/json.ebnf", "tests/ebnf/data/expression.ebnf",
          "tests/ebnf/data/json.ebnf", "tests/ebnf/data/statements.ebnf",
          "tests/ebnf/data/hard_cases.ebnf"}) {
        ExpectWellDrawn(lumo_test::ReadFile(LUMO_SOURCE_DIR "/" + std::string(grammar)), true);
    }
    std::string longer = "Longer ::=";  // wider than the canvas: folded into bands
    for (int i = 0; i < 150; ++i)
        longer += " t" + std::to_string(i % 40) + (i % 30 == 0 ? "*" : "");
    ExpectWellDrawn(longer);
}

// The label rectangles stored at import are those the editor draws, and the
// import leaves the document unmodified.
TEST(EbnfLayout, GivesTheLabelsTheEditorWouldDraw) {
    CGrammer doc;
    ebnf::ImportEbnf("Keywords ::= while | begin | if | do | end\nA ::= a ( b | c | d )* e", doc);
    for (int g = 0; g < 2; ++g) {
        CGraph& graph = *doc.GetGraph(g);
        std::vector<CRect> imported, drawn;
        for (int i = 0; i < graph.GetNodeCount(); ++i) {
            for (int j = 0; j < graph.GetElement(i)->GetEdgeCount(); ++j)
                imported.push_back(graph.GetElement(i)->GetEdge(j)->GetLabelRect());
        }
        lumo_test::RecordingSurface surface(ebnf::kLayoutFontHeight, ebnf::kLayoutFontWidth);
        graph.Draw(&surface);
        for (const auto& call : surface.Of(Call::Text)) {
            if (call.bkColor == Colors::Cyan)
                drawn.push_back(call.box);
        }
        EXPECT_EQ(drawn, imported);
    }
    EXPECT_FALSE(doc.IsModified());
}

}  // namespace
