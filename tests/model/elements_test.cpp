// Nodes, edges and the bends that the node-pair registry hands out.

#include <gtest/gtest.h>

#include "model/graph.h"
#include "support/grammar_builder.h"

namespace {

using lumo_test::AddEdge;
using lumo_test::AddNodes;
using lumo_test::CentreOf;

TEST(NodeHitTest, CircleOfRadiusFifteenWithItsBoundary) {
    CGraphNode node(1, 100, 100, false);
    EXPECT_TRUE(node.HitTest({115, 100}));
    EXPECT_TRUE(node.HitTest({100, 85}));
    EXPECT_TRUE(node.HitTest({111, 110}));   // 121 + 100 = 221
    EXPECT_FALSE(node.HitTest({112, 110}));  // 144 + 100 = 244
    EXPECT_FALSE(node.HitTest({116, 100}));
}

TEST(NodeHitTest, FarPointsDoNotOverflow) {
    CGraphNode node(1, 0, 0, false);
    // 65536 squared overflows 32 bits to 0, which would be a hit.
    EXPECT_FALSE(node.HitTest({65536, 0}));
    EXPECT_FALSE(node.HitTest({INT32_MIN, INT32_MAX}));
    CGraphNode corner(1, INT32_MAX, INT32_MAX, false);
    EXPECT_FALSE(corner.HitTest({INT32_MIN, INT32_MIN}));
    EXPECT_TRUE(corner.HitTest({INT32_MAX - 15, INT32_MAX}));
}

TEST(EdgeHitTest, LabelRectangleIncludesLeftAndTopOnly) {
    CEdge edge;
    edge.SetLabelRect(CRect{10, 20, 30, 40});
    EXPECT_TRUE(edge.HitTest({10, 20}));
    EXPECT_TRUE(edge.HitTest({29, 39}));
    EXPECT_FALSE(edge.HitTest({30, 25}));
    EXPECT_FALSE(edge.HitTest({15, 40}));
    EXPECT_FALSE(CEdge().HitTest({0, 0}));  // never drawn: empty, hits nothing
}

TEST(NodeDeletion, OnlyUnattachedNodesOtherThanNodeOne) {
    CGrammer doc;
    AddNodes(doc, 3);
    AddEdge(doc, 2, 3, "x");  // node 3 has only an incoming edge
    AddEdge(doc, 4, 4, "y");  // node 4 has only a loop
    EXPECT_EQ(CentreOf(doc, 4).x, 700);

    EXPECT_FALSE(doc.DeleteNode(CentreOf(doc, 1)));
    EXPECT_FALSE(doc.DeleteNode(CentreOf(doc, 3)));
    EXPECT_FALSE(doc.DeleteNode(CentreOf(doc, 4)));

    const CGraph* graph = doc.GetCurrentGraph();
    EXPECT_EQ(graph->GetElement(3)->GetRefCount(), 2);  // a loop counts twice
    ASSERT_TRUE(doc.DeleteEdge(CPoint{}) == false);

    // Labels are set by drawing; place them by hand to delete by point.
    graph->GetElement(1)->GetEdge(0)->SetLabelRect({0, 0, 10, 10});
    graph->GetElement(3)->GetEdge(0)->SetLabelRect({20, 0, 30, 10});
    EXPECT_TRUE(doc.DeleteEdge({25, 5}));
    EXPECT_EQ(graph->GetElement(3)->GetRefCount(), 0);
    EXPECT_TRUE(doc.DeleteEdge({5, 5}));
    EXPECT_EQ(graph->GetElement(1)->GetRefCount(), 0);
    EXPECT_EQ(graph->GetElement(2)->GetRefCount(), 0);

    EXPECT_TRUE(doc.DeleteNode(CentreOf(doc, 3)));
    EXPECT_TRUE(doc.DeleteNode(CentreOf(doc, 4)));
    EXPECT_FALSE(doc.DeleteNode(CentreOf(doc, 1)));
}

TEST(EdgeBends, ParallelEdgesShareOneCountWhateverTheirDirection) {
    CGrammer doc;
    AddNodes(doc, 1);
    AddEdge(doc, 1, 2, "a");
    AddEdge(doc, 2, 1, "b");
    AddEdge(doc, 1, 2, "c");
    AddEdge(doc, 2, 1, "d");
    AddEdge(doc, 1, 2, "e");
    const CGraph* graph = doc.GetCurrentGraph();
    EXPECT_EQ(graph->GetElement(0)->GetEdge(0)->GetOffset(), 0.0f);
    EXPECT_EQ(graph->GetElement(1)->GetEdge(0)->GetOffset(), 1.0f);
    EXPECT_EQ(graph->GetElement(0)->GetEdge(1)->GetOffset(), -1.0f);
    EXPECT_EQ(graph->GetElement(1)->GetEdge(1)->GetOffset(), 2.0f);
    EXPECT_EQ(graph->GetElement(0)->GetEdge(2)->GetOffset(), -2.0f);
}

TEST(EdgeBends, LoopsNeverGetZeroOrPlusOne) {
    CGrammer doc;
    AddEdge(doc, 1, 1, "a");
    AddEdge(doc, 1, 1, "b");
    AddEdge(doc, 1, 1, "c");
    const CGraphElement* node = doc.GetCurrentGraph()->GetElement(0);
    EXPECT_EQ(node->GetEdge(0)->GetOffset(), -1.0f);
    EXPECT_EQ(node->GetEdge(1)->GetOffset(), 2.0f);
    EXPECT_EQ(node->GetEdge(2)->GetOffset(), -2.0f);
}

TEST(EdgeBends, DeletedEdgesDoNotGiveTheirBendBack) {
    CGrammer doc;
    AddNodes(doc, 1);
    AddEdge(doc, 1, 2, "a");
    AddEdge(doc, 1, 2, "b");
    CGraphElement* node = doc.GetCurrentGraph()->GetElement(0);
    node->GetEdge(0)->SetLabelRect({0, 0, 10, 10});
    node->GetEdge(1)->SetLabelRect({0, 0, 10, 10});
    ASSERT_TRUE(doc.DeleteEdge({1, 1}));
    ASSERT_TRUE(doc.DeleteEdge({1, 1}));
    AddEdge(doc, 1, 2, "c");
    EXPECT_EQ(node->GetEdge(0)->GetOffset(), -1.0f);
}

TEST(EdgeBends, RegistryOutlivesDocumentsButNotNodes) {
    CGrammer doc;
    AddNodes(doc, 1);
    AddEdge(doc, 1, 2, "a");
    // File New builds new nodes: their pairs start from zero, even where a
    // new node takes the memory of an old one.
    for (int round = 0; round < 3; ++round) {
        doc.OnNewDocument();
        AddNodes(doc, 1);
        AddEdge(doc, 1, 2, "a");
        EXPECT_EQ(doc.GetCurrentGraph()->GetElement(0)->GetEdge(0)->GetOffset(), 0.0f);
    }
    // Within one document the count goes on after its edges are gone.
    CGraphElement* node = doc.GetCurrentGraph()->GetElement(0);
    node->GetEdge(0)->SetLabelRect({0, 0, 10, 10});
    ASSERT_TRUE(doc.DeleteEdge({1, 1}));
    AddEdge(doc, 1, 2, "b");
    EXPECT_EQ(node->GetEdge(0)->GetOffset(), 1.0f);
}

TEST(EdgeBends, LoadedEdgesAreNotCounted) {
    CGrammer doc;
    AddNodes(doc, 1);
    AddEdge(doc, 1, 2, "a");
    AddEdge(doc, 1, 2, "b");
    const std::string bytes = lumo_test::Store(doc);

    CGrammer loaded;
    CArchive ar(bytes.data(), bytes.size());
    loaded.DeleteContents();
    loaded.Serialize(ar);
    EXPECT_EQ(loaded.GetCurrentGraph()->GetElement(0)->GetEdge(1)->GetOffset(), 1.0f);
    AddEdge(loaded, 1, 2, "c");
    EXPECT_EQ(loaded.GetCurrentGraph()->GetElement(0)->GetEdge(2)->GetOffset(), 0.0f);
}

TEST(ElementQueries, GraphOutputsAndDuplicateInputs) {
    CGrammer doc;
    AddNodes(doc, 2);
    const CGraphElement* node = doc.GetCurrentGraph()->GetElement(0);
    EXPECT_EQ(node->GetGraphOutput(), "");

    AddEdge(doc, 1, 2, "x");
    lumo_test::AddGraphEdge(doc, 1, 2, "E");
    lumo_test::AddGraphEdge(doc, 1, 3, "F");
    AddEdge(doc, 1, 3, "X");
    EXPECT_EQ(node->GetGraphOutput(), "E");
    EXPECT_EQ(node->CountGraphOutputs(), 2);
    EXPECT_FALSE(node->HasDuplicateInputs());  // letter case matters

    AddEdge(doc, 1, 3, "E");  // a token equal to a graph output's input
    EXPECT_TRUE(node->HasDuplicateInputs());
}

}  // namespace
