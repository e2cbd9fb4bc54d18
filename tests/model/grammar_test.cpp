// The document and its graphs: graphs created by edges, selection, node
// numbering, picking, which of overlapping items wins, the modified flag.

#include <gtest/gtest.h>

#include "support/grammar_builder.h"

namespace {

using lumo_test::AddGraphEdge;
using lumo_test::Build;
using lumo_test::CentreOf;

// MAIN with node 1 at (100, 100), not final, unmodified, untitled; File New
// starts over.
TEST(NewGrammar, HoldsMainWithNodeOneAndIsNotModified) {
    CGrammer doc;
    Build(doc, {lumo_test::GraphArc(1, 3, "G")});
    doc.OnNewDocument();
    EXPECT_EQ(
        lumo_test::Store(doc),
        std::string("\1\0\0\0\4MAIN\1\0\0\0\1\0\0\0\1\0\0\0d\0\0\0d", 26) + std::string(11, '\0'));
    EXPECT_TRUE(!doc.IsModified() && doc.GetTitle() == "Untitled");
}

TEST(GraphCreation, FirstGraphEdgeNamingAGraphAppendsIt) {
    CGrammer doc;
    lumo_test::AddEdge(doc, 1, 1, "EXPR");  // a token never creates a graph
    EXPECT_EQ(doc.GetGraphCount(), 1);
    AddGraphEdge(doc, 1, 1, "EXPR");
    ASSERT_EQ(doc.GetGraphCount(), 2);
    EXPECT_TRUE(doc.GetGraphName(1) == "EXPR" && doc.GetCurrentGraph() == doc.GetGraph(0));
    // Selecting a graph is no change to save, and only existing ones can be.
    doc.SetModifiedFlag(false);
    EXPECT_FALSE(doc.SelectGraph(2) || doc.SelectGraph(-1));
    ASSERT_TRUE(doc.SelectGraph(1));
    EXPECT_FALSE(doc.IsModified());
    AddGraphEdge(doc, 1, 1, "EXPR");  // from another graph: nothing new
    AddGraphEdge(doc, 1, 1, "MAIN");  // found at index 0
    EXPECT_EQ(doc.GetGraphCount(), 2);
    AddGraphEdge(doc, 1, 1, "expr");  // names are case-sensitive
    EXPECT_EQ(doc.GetGraphCount(), 3);
    // Changing an edge to a graph edge creates the graph; properties at a point
    // with no edge change nothing but still name one.
    doc.GetCurrentGraph()->GetElement(0)->GetEdge(0)->SetLabelRect({0, 0, 10, 10});
    doc.AddEdge({5, 5}, "TERM", "@t", true, true);
    doc.AddEdge({500, 500}, "OTHER", "", true, true);
    EXPECT_TRUE(doc.GetGraphCount() == 5 && doc.GetGraphName(3) == "TERM");
}

TEST(GraphNumbering, DeletedNumbersAreNeverGivenAgainNorNumbersPastTheLast) {
    CGrammer doc;
    lumo_test::AddNodes(doc, 2);
    ASSERT_TRUE(doc.DeleteNode(CentreOf(doc, 3)));
    EXPECT_EQ(doc.AddNode({400, 400})->GetNumber(), 4);
    // Only a loaded file can claim the highest number.
    lumo_test::Load(doc, lumo_test::I32(1) + lumo_test::Str("MAIN") + lumo_test::I32(1) +
                             lumo_test::I32(INT32_MAX) + lumo_test::I32(-1) +
                             std::string(16, '\0'));
    EXPECT_EQ(doc.AddNode({300, 300}), nullptr);
    EXPECT_EQ(doc.GetCurrentGraph()->GetNodeCount(), 1);
}

// A failed find keeps the picked node; moving it forgets it;
// overlapping nodes and labels resolve by slot, then list order.
TEST(GraphPicking, PickedNodeAndOverlaps) {
    CGrammer doc;
    doc.AddNode({300, 100});
    doc.FindNode({305, 100});
    EXPECT_EQ(doc.FindNode({500, 500}), nullptr);
    doc.MoveSelectedNode({300, 200});
    doc.MoveSelectedNode({0, 0});  // nothing picked now: nothing moves
    EXPECT_EQ(CentreOf(doc, 2), (CPoint{300, 200}));
    doc.AddNode({110, 100});                   // node 3 overlaps node 1
    EXPECT_FALSE(doc.DeleteNode({105, 100}));  // node 1 is found first, and stays
    Build(doc, {{2, 1, "later slot"}, {1, 2, "first"}, {1, 2, "second"}});
    for (const auto& [slot, index] : {std::pair{1, 0}, {0, 0}, {0, 1}}) {
        doc.GetCurrentGraph()->GetElement(slot)->GetEdge(index)->SetLabelRect({0, 0, 20, 20});
    }
    for (const char* input : {"first", "second", "later slot"}) {
        EXPECT_EQ(doc.FindEdge({5, 5})->GetInput(), input);
        ASSERT_TRUE(doc.DeleteEdge({5, 5}));
    }
}

TEST(GraphEdges, DragEndingOffANodeOrOnTheSourceMakesALoop) {
    CGrammer doc;
    for (const CPoint end : {CPoint{900, 900}, CPoint{100, 100}}) {
        doc.FindNode({100, 100});
        doc.AddEdge(end, "e", "", false, false);
    }
    const CGraphElement* node = doc.GetCurrentGraph()->GetElement(0);
    EXPECT_TRUE(node->GetEdgeCount() == 2 && node->GetEdge(1)->GetTo() == node);
    EXPECT_TRUE(node->GetEdge(0)->GetTo() == node && node->GetRefCount() == 4);
    EXPECT_EQ(doc.GetCurrentGraph()->GetSelected(), nullptr);
}

TEST(ModifiedFlag, FollowsTheEdits) {
    CGrammer doc;
    auto modifiedBy = [&doc](auto&& edit) {
        doc.SetModifiedFlag(false);
        edit();
        return doc.IsModified();
    };
    EXPECT_TRUE(modifiedBy([&] { doc.AddNode({300, 100}); }));
    EXPECT_FALSE(modifiedBy([&] { doc.FindNode({300, 100}); }));
    EXPECT_TRUE(modifiedBy([&] { doc.MoveSelectedNode({300, 200}); }));
    // Looking up an edge starts a change of it, found or not.
    EXPECT_TRUE(modifiedBy([&] { doc.FindEdge({900, 900}); }));
    EXPECT_FALSE(modifiedBy([&] { doc.DeleteNode({900, 900}); }));
    EXPECT_FALSE(modifiedBy([&] { doc.DeleteEdge({900, 900}); }));
    EXPECT_TRUE(modifiedBy([&] { doc.DeleteNode({300, 200}); }));
    EXPECT_TRUE(modifiedBy([&] { doc.AddEdge({100, 100}, "a", "", false, false); }));
    // The final flag is saved, so toggling it is a change.
    EXPECT_TRUE(modifiedBy([&] { EXPECT_TRUE(doc.ToggleNodeFinal({100, 100})); }));
    EXPECT_FALSE(modifiedBy([&] { EXPECT_FALSE(doc.ToggleNodeFinal({900, 900})); }));
}

// Edges point into slots both before and after their own; under the address
// sanitizer a release into a freed node would be reported.
TEST(Teardown, DestroyingGraphsWithCrossingEdgesTouchesNoFreedNode) {
    auto doc = std::make_unique<CGrammer>();
    Build(*doc,
          {{1, 4, "a"}, {4, 1, "b"}, {3, 2, "c"}, {2, 2, "d"}, lumo_test::GraphArc(4, 3, "G")});
    doc->OnNewDocument();
    Build(*doc, {{2, 1, "x"}});
    doc.reset();
}

}  // namespace
