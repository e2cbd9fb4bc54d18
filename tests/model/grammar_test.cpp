// The document: graphs created by edges, graph selection, the modified flag.

#include <gtest/gtest.h>

#include "support/grammar_builder.h"

namespace {

using lumo_test::AddEdge;
using lumo_test::AddGraphEdge;
using lumo_test::AddNodes;
using lumo_test::CentreOf;

TEST(NewGrammar, HoldsMainWithNodeOneAndIsNotModified) {
    CGrammer doc;
    ASSERT_EQ(doc.GetGraphCount(), 1);
    EXPECT_EQ(doc.GetGraphName(0), "MAIN");
    const CGraph* main = doc.GetCurrentGraph();
    ASSERT_EQ(main->GetNodeCount(), 1);
    EXPECT_EQ(main->GetElement(0)->GetNumber(), 1);
    EXPECT_EQ(main->GetElement(0)->GetCenter(), (CPoint{100, 100}));
    EXPECT_FALSE(main->GetElement(0)->IsFinal());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetTitle(), "Untitled");

    AddNodes(doc, 2);
    doc.OnNewDocument();  // File New starts over
    EXPECT_EQ(doc.GetCurrentGraph()->GetNodeCount(), 1);
    EXPECT_EQ(doc.GetCurrentGraph()->GetLastNumber(), 1);
    EXPECT_FALSE(doc.IsModified());
}

TEST(GraphCreation, FirstGraphEdgeNamingAGraphAppendsIt) {
    CGrammer doc;
    AddNodes(doc, 1);
    AddEdge(doc, 1, 2, "EXPR");  // a token never creates a graph
    EXPECT_EQ(doc.GetGraphCount(), 1);
    AddGraphEdge(doc, 1, 2, "EXPR");
    ASSERT_EQ(doc.GetGraphCount(), 2);
    EXPECT_EQ(doc.GetGraphName(1), "EXPR");
    EXPECT_EQ(doc.GetGraph(1)->GetElement(0)->GetCenter(), (CPoint{100, 100}));
    EXPECT_EQ(doc.GetCurrentGraph(), doc.GetGraph(0));

    ASSERT_TRUE(doc.SelectGraph(1));
    AddGraphEdge(doc, 1, 1, "EXPR");  // from another graph: nothing new
    AddGraphEdge(doc, 1, 1, "MAIN");  // found at index 0
    EXPECT_EQ(doc.GetGraphCount(), 2);
    AddGraphEdge(doc, 1, 1, "expr");  // names are case-sensitive
    EXPECT_EQ(doc.GetGraphCount(), 3);
}

TEST(GraphCreation, ChangingAnEdgeToGraphCreatesAndChangingBackKeeps) {
    CGrammer doc;
    AddNodes(doc, 1);
    AddEdge(doc, 1, 2, "x");
    doc.GetCurrentGraph()->GetElement(0)->GetEdge(0)->SetLabelRect({0, 0, 10, 10});
    doc.AddEdge({5, 5}, "TERM", "@t", true, true);
    ASSERT_EQ(doc.GetGraphCount(), 2);
    const CEdge* edge = doc.GetCurrentGraph()->GetElement(0)->GetEdge(0);
    EXPECT_TRUE(edge->IsGraph());
    EXPECT_EQ(edge->GetAction(), "@t");
    doc.AddEdge({5, 5}, "x", "", false, true);
    EXPECT_FALSE(edge->IsGraph());
    EXPECT_EQ(doc.GetGraphCount(), 2);
    // Properties at a point with no edge change nothing but still name a graph.
    doc.AddEdge({500, 500}, "OTHER", "", true, true);
    EXPECT_EQ(doc.GetGraphCount(), 3);
}

TEST(GraphSelection, OnlyExistingIndices) {
    CGrammer doc;
    AddGraphEdge(doc, 1, 1, "A");
    EXPECT_TRUE(doc.SelectGraph(1));
    EXPECT_EQ(doc.GetCurrentGraph()->GetName(), "A");
    EXPECT_FALSE(doc.SelectGraph(2));
    EXPECT_FALSE(doc.SelectGraph(-1));
    EXPECT_EQ(doc.GetCurrentGraph()->GetName(), "A");
    EXPECT_TRUE(doc.SelectGraph(0));
    doc.SetModifiedFlag(false);
    doc.SelectGraph(1);
    EXPECT_FALSE(doc.IsModified());
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
    EXPECT_TRUE(modifiedBy([&] { doc.MoveSelectedNode({300, 300}); }));  // even with nothing picked
    // Looking up an edge starts a change of it, found or not.
    EXPECT_TRUE(modifiedBy([&] { doc.FindEdge({900, 900}); }));
    EXPECT_FALSE(modifiedBy([&] { doc.DeleteNode({900, 900}); }));
    EXPECT_FALSE(modifiedBy([&] { doc.DeleteNode({100, 100}); }));  // node 1 stays
    EXPECT_FALSE(modifiedBy([&] { doc.DeleteEdge({900, 900}); }));
    EXPECT_TRUE(modifiedBy([&] { doc.DeleteNode({300, 200}); }));
    EXPECT_TRUE(modifiedBy([&] { doc.AddEdge({100, 100}, "a", "", false, false); }));
    // The final flag is saved, so toggling it is a change.
    EXPECT_TRUE(modifiedBy([&] { EXPECT_TRUE(doc.ToggleNodeFinal({100, 100})); }));
    EXPECT_TRUE(doc.GetCurrentGraph()->GetElement(0)->IsFinal());
    EXPECT_FALSE(modifiedBy([&] { EXPECT_FALSE(doc.ToggleNodeFinal({900, 900})); }));
}

TEST(Teardown, DestroyingGraphsWithCrossingEdgesTouchesNoFreedNode) {
    // Edges point into slots both before and after their own; under the
    // address sanitizer a release into a freed node would be reported.
    auto doc = std::make_unique<CGrammer>();
    AddNodes(*doc, 3);
    AddEdge(*doc, 1, 4, "a");
    AddEdge(*doc, 4, 1, "b");
    AddEdge(*doc, 3, 2, "c");
    AddEdge(*doc, 2, 2, "d");
    AddGraphEdge(*doc, 4, 3, "G");
    doc->OnNewDocument();
    EXPECT_EQ(doc->GetGraphCount(), 1);
    AddNodes(*doc, 1);
    AddEdge(*doc, 2, 1, "x");
    doc.reset();
}

}  // namespace
