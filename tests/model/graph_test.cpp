// Node numbering, picking, and which of overlapping items wins.

#include <gtest/gtest.h>

#include "model/graph.h"
#include "support/grammar_builder.h"

namespace {

using lumo_test::AddEdge;
using lumo_test::AddNodes;
using lumo_test::CentreOf;

TEST(GraphNumbering, DeletedNumbersAreNeverGivenAgain) {
    CGraph graph("G");
    graph.AddNode({100, 100});
    graph.AddNode({200, 100});
    graph.AddNode({300, 100});
    ASSERT_TRUE(graph.DeleteNode({300, 100}));
    CGraphElement* added = graph.AddNode({400, 100});
    EXPECT_EQ(added->GetNumber(), 4);
    EXPECT_EQ(graph.GetElement(2), added);
    EXPECT_EQ(graph.GetNodeCount(), 3);
}

TEST(GraphNumbering, ExhaustedNumbersAddNothing) {
    // Reachable only through a loaded file that claims the highest number.
    std::string file = lumo_test::I32(1) + lumo_test::Str("MAIN") + lumo_test::I32(1) +
                       lumo_test::I32(INT32_MAX) + lumo_test::I32(-1) + lumo_test::I32(0) +
                       lumo_test::I32(0) + lumo_test::I32(0) + lumo_test::I32(0);
    CGrammer doc;
    doc.DeleteContents();
    CArchive ar(file.data(), file.size());
    doc.Serialize(ar);
    EXPECT_EQ(doc.AddNode({300, 300}), nullptr);
    EXPECT_EQ(doc.GetCurrentGraph()->GetNodeCount(), 1);
}

TEST(GraphPicking, FailedFindKeepsThePickedNode) {
    CGraph graph("G");
    graph.AddNode({100, 100});
    CGraphNode* node = graph.FindNode({105, 100});
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(graph.FindNode({500, 500}), nullptr);
    EXPECT_EQ(graph.GetSelected(), node);
    graph.MoveSelectedNode({400, 400});
    EXPECT_EQ(node->GetCenter(), (CPoint{400, 400}));
    EXPECT_EQ(graph.GetSelected(), nullptr);
    graph.MoveSelectedNode({0, 0});  // nothing picked: nothing moves
    EXPECT_EQ(node->GetCenter(), (CPoint{400, 400}));
}

TEST(GraphPicking, DeletingThePickedNodeForgetsIt) {
    CGrammer doc;
    AddNodes(doc, 1);
    doc.FindNode(CentreOf(doc, 2));
    ASSERT_TRUE(doc.DeleteNode(CentreOf(doc, 2)));
    EXPECT_EQ(doc.GetCurrentGraph()->GetSelected(), nullptr);
    doc.AddEdge({300, 100}, "x", "", false, false);  // no source: nothing happens
    EXPECT_EQ(doc.GetCurrentGraph()->GetElement(0)->GetEdgeCount(), 0);
}

TEST(GraphOverlap, EarlierSlotWins) {
    CGrammer doc;
    doc.AddNode({110, 100});  // node 2 overlaps node 1
    doc.AddNode({300, 100});  // node 3
    AddEdge(doc, 3, 3, "to self");
    // Deleting at the overlap finds node 1 first, which cannot go, and stops.
    EXPECT_FALSE(doc.DeleteNode({105, 100}));
    EXPECT_EQ(doc.GetCurrentGraph()->GetNodeCount(), 3);

    // An edge dragged onto the overlap goes to node 1.
    doc.FindNode({300, 100});
    doc.AddEdge({105, 100}, "x", "", false, false);
    const CEdge* edge = doc.GetCurrentGraph()->GetElement(2)->GetEdge(1);
    EXPECT_EQ(edge->GetTo()->GetNumber(), 1);
}

TEST(GraphEdges, DragEndingOffANodeOrOnTheSourceMakesALoop) {
    CGrammer doc;
    AddNodes(doc, 1);
    doc.FindNode(CentreOf(doc, 2));
    doc.AddEdge({900, 900}, "off", "", false, false);
    doc.FindNode(CentreOf(doc, 2));
    doc.AddEdge(CentreOf(doc, 2), "on", "", false, false);
    const CGraphElement* node = doc.GetCurrentGraph()->GetElement(1);
    ASSERT_EQ(node->GetEdgeCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(node->GetEdge(i)->GetFrom(), node);
        EXPECT_EQ(node->GetEdge(i)->GetTo(), node);
    }
    EXPECT_EQ(node->GetRefCount(), 4);
    EXPECT_EQ(doc.GetCurrentGraph()->GetSelected(), nullptr);
}

TEST(GraphEdges, OverlappingLabelsResolveBySlotThenListOrder) {
    CGrammer doc;
    AddNodes(doc, 1);
    AddEdge(doc, 2, 1, "later slot");
    AddEdge(doc, 1, 2, "first");
    AddEdge(doc, 1, 2, "second");
    const CGraph* graph = doc.GetCurrentGraph();
    for (const CEdge* edge : {graph->GetElement(1)->GetEdge(0), graph->GetElement(0)->GetEdge(0),
                              graph->GetElement(0)->GetEdge(1)}) {
        const_cast<CEdge*>(edge)->SetLabelRect({0, 0, 20, 20});
    }
    EXPECT_EQ(doc.FindEdge({5, 5})->GetInput(), "first");
    ASSERT_TRUE(doc.DeleteEdge({5, 5}));
    EXPECT_EQ(doc.FindEdge({5, 5})->GetInput(), "second");
    ASSERT_TRUE(doc.DeleteEdge({5, 5}));
    EXPECT_EQ(doc.FindEdge({5, 5})->GetInput(), "later slot");
}

}  // namespace
