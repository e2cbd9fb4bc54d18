// Nodes, edges and the bends that the node-pair registry hands out.

#include <gtest/gtest.h>

#include "model/graph.h"
#include "support/grammar_builder.h"

namespace {

using lumo_test::Build;
using lumo_test::CentreOf;

// The bends of the current graph's edges, slot by slot in list order.
std::vector<float> Bends(const CGrammer& doc) {
    std::vector<float> out;
    const CGraph* graph = doc.GetCurrentGraph();
    for (int i = 0; i < graph->GetNodeCount(); ++i) {
        for (int j = 0; j < graph->GetElement(i)->GetEdgeCount(); ++j) {
            out.push_back(graph->GetElement(i)->GetEdge(j)->GetOffset());
        }
    }
    return out;
}

// Deletes the first edge of slot `slot` through a label placed by hand.
void DeleteEdge(CGrammer& doc, int slot) {
    doc.GetCurrentGraph()->GetElement(slot)->GetEdge(0)->SetLabelRect({-50, -50, -40, -40});
    ASSERT_TRUE(doc.DeleteEdge({-50, -50}));
}

TEST(HitTests, NodeCircleOfRadiusFifteenLabelsWithLeftAndTopOnly) {
    const CGraphNode node(1, 100, 100, false), origin(1, 0, 0, false);
    const CGraphNode corner(1, INT32_MAX, INT32_MAX, false);
    const std::pair<CPoint, bool> points[] = {{{115, 100}, true},  {{100, 85}, true},
                                              {{111, 110}, true},  {{112, 110}, false},
                                              {{116, 100}, false}, {{100, 84}, false}};
    for (const auto& [p, hit] : points) {
        EXPECT_EQ(node.HitTest(p), hit) << p.x << "," << p.y;
    }
    EXPECT_TRUE(corner.HitTest({INT32_MAX - 15, INT32_MAX}));
    // 65536 squared overflows 32 bits to 0, which would be a hit.
    EXPECT_FALSE(origin.HitTest({65536, 0}) || origin.HitTest({INT32_MIN, INT32_MAX}) ||
                 corner.HitTest({INT32_MIN, INT32_MIN}));
    CEdge edge;
    EXPECT_FALSE(edge.HitTest({0, 0}));  // never drawn: empty, hits nothing
    edge.SetLabelRect(CRect{10, 20, 30, 40});
    EXPECT_TRUE(edge.HitTest({10, 20}) && edge.HitTest({29, 39}));
    EXPECT_FALSE(edge.HitTest({30, 25}) || edge.HitTest({15, 40}));
}

TEST(NodeDeletion, OnlyUnattachedNodesOtherThanNodeOne) {
    CGrammer doc;
    Build(doc, {{2, 3, "x"}, {4, 4, "y"}});  // node 3: only an edge in; node 4: only a loop
    for (int n : {1, 3, 4}) {
        EXPECT_FALSE(doc.DeleteNode(CentreOf(doc, n))) << n;
    }
    const CGraph* graph = doc.GetCurrentGraph();
    EXPECT_EQ(graph->GetElement(3)->GetRefCount(), 2);  // a loop counts twice
    EXPECT_FALSE(doc.DeleteEdge(CPoint{}));
    DeleteEdge(doc, 3);
    DeleteEdge(doc, 1);
    EXPECT_EQ(graph->GetElement(1)->GetRefCount(), 0);
    EXPECT_TRUE(doc.DeleteNode(CentreOf(doc, 3)) && doc.DeleteNode(CentreOf(doc, 4)));
}

// Parallel edges share one count; loops never get 0 or +1; a deleted edge
// keeps its bend taken; loaded edges are not counted; File New's nodes start
// afresh, even where one takes the memory of an old one.
TEST(EdgeBends, CountedPerNodePairFromZero) {
    CGrammer doc;
    Build(doc, {{1, 2, "a"}, {2, 1, "b"}, {1, 2, "c"}, {2, 1, "d"}, {1, 2, "e"}});
    EXPECT_EQ(Bends(doc), (std::vector<float>{0, -1, -2, 1, 2}));
    CGrammer loaded;
    lumo_test::Load(loaded, lumo_test::Store(doc));
    lumo_test::AddEdge(loaded, 1, 2, "f");
    EXPECT_EQ(Bends(loaded), (std::vector<float>{0, -1, -2, 0, 1, 2}));
    CGrammer loops;
    Build(loops, {{1, 1, "a"}, {1, 1, "b"}, {1, 1, "c"}});
    EXPECT_EQ(Bends(loops), (std::vector<float>{-1, 2, -2}));
    for (int round = 0; round < 3; ++round) {
        doc.OnNewDocument();
        Build(doc, {{1, 2, "a"}, {1, 2, "b"}});
        DeleteEdge(doc, 0);
        DeleteEdge(doc, 0);
        lumo_test::AddEdge(doc, 1, 2, "c");
        EXPECT_EQ(Bends(doc), (std::vector<float>{-1}));
    }
}

}  // namespace
