// The four checks, their order, and the exact messages.

#include <gtest/gtest.h>

#include "generate/parse_exception.h"
#include "model/flat_grammar.h"
#include "support/grammar_builder.h"

namespace {

using lumo_test::AddEdge;
using lumo_test::AddGraphEdge;
using lumo_test::AddNodes;
using lumo_test::CentreOf;
using lumo_test::MakeFinal;

template <class Grammar>
std::string FirstViolation(Grammar& grammar) {
    try {
        grammar.Validate();
    } catch (const CParseException& e) {
        return e.GetMessage();
    }
    return "";
}

// The message of the first violation, or "" when the grammar passes. The
// document is also saved and read as lumo-gen reads it, which must come to
// the same verdict.
std::string Violation(CGrammer& doc) {
    const std::string message = FirstViolation(doc);
    CFlatGrammar flat;
    flat.Load(lumo_test::Store(doc));
    EXPECT_EQ(FirstViolation(flat), message) << "lumo-gen's reading disagrees";
    return message;
}

// Gives graph `index` a final node 2 reached from node 1 by `token`, so it
// passes checks 1 to 3 on its own.
void Complete(CGrammer& doc, int index, const std::string& token = "end") {
    ASSERT_TRUE(doc.SelectGraph(index));
    const int final = doc.GetCurrentGraph()->GetLastNumber() + 1;
    AddNodes(doc, 1);
    AddEdge(doc, 1, final, token);
    MakeFinal(doc, final);
    doc.SelectGraph(0);
}

TEST(FinalNodes, EveryGraphNeedsOneReportedByName) {
    CGrammer doc;
    EXPECT_EQ(Violation(doc), "Graph 'MAIN' doesn't have final node!");
    MakeFinal(doc, 1);
    EXPECT_EQ(Violation(doc), "");

    AddGraphEdge(doc, 1, 1, "LATER");  // node 1 is final: check 2 would complain...
    AddGraphEdge(doc, 1, 1, "NEVER");
    // ...but a graph without a final node is found first, in index order.
    EXPECT_EQ(Violation(doc), "Graph 'LATER' doesn't have final node!");
}

TEST(GraphOutputs, FinalNodesHaveNoneAndNoNodeHasTwo) {
    CGrammer doc;
    AddNodes(doc, 3);
    AddGraphEdge(doc, 2, 3, "E");
    AddGraphEdge(doc, 2, 4, "F");  // node 2: two graph outputs
    AddGraphEdge(doc, 4, 3, "E");
    MakeFinal(doc, 4);  // node 4: final with a graph output
    Complete(doc, 1);
    Complete(doc, 2);
    EXPECT_EQ(Violation(doc), "Node #4 of graph MAIN has graph output!");
    MakeFinal(doc, 4);
    MakeFinal(doc, 3);
    EXPECT_EQ(Violation(doc), "Node #2 of graph MAIN has more than one graph output!");
}

TEST(GraphOutputs, FinalNodeWithTwoGraphOutputsIsACheckTwoMatter) {
    CGrammer doc;
    AddGraphEdge(doc, 1, 1, "E");
    AddGraphEdge(doc, 1, 1, "F");
    MakeFinal(doc, 1);
    Complete(doc, 1);
    Complete(doc, 2);
    EXPECT_EQ(Violation(doc), "Node #1 of graph MAIN has graph output!");
}

TEST(Ambiguity, NodeOneComparesOnlyItsTokens) {
    CGrammer doc;
    AddNodes(doc, 1);
    AddEdge(doc, 1, 2, "a");
    AddEdge(doc, 1, 2, "A");  // letter case differs: not identical
    MakeFinal(doc, 2);
    EXPECT_EQ(Violation(doc), "");
    AddEdge(doc, 1, 2, "a");
    EXPECT_EQ(Violation(doc), "Node #1 of graph \"MAIN\" has identical outputs!");
}

TEST(Ambiguity, TokenEqualToGraphOutputFailsOnlyAwayFromNodeOne) {
    CGrammer doc;
    AddNodes(doc, 2);
    AddEdge(doc, 1, 2, "E");
    AddGraphEdge(doc, 1, 2, "E");
    AddEdge(doc, 2, 3, "z");
    MakeFinal(doc, 3);
    Complete(doc, 1, "e");
    EXPECT_EQ(Violation(doc), "");  // node 1 compares tokens only

    CGrammer other;
    AddNodes(other, 2);
    AddEdge(other, 1, 2, "a");
    AddEdge(other, 2, 3, "E");
    AddGraphEdge(other, 2, 3, "E");
    MakeFinal(other, 3);
    Complete(other, 1, "e");
    EXPECT_EQ(Violation(other), "Node #2 of graph \"MAIN\" has identical outputs!");
}

TEST(Ambiguity, FirstTokenSetsOfNodeOneChains) {
    {
        CGrammer doc;  // MAIN: x and -> E; E begins with x
        AddNodes(doc, 1);
        AddEdge(doc, 1, 2, "x");
        AddGraphEdge(doc, 1, 2, "E");
        MakeFinal(doc, 2);
        Complete(doc, 1, "x");
        EXPECT_EQ(Violation(doc),
                  "Node #1 of graph \"MAIN\" and node #1 of Graph \"E\" have identical outputs!");
    }
    {
        CGrammer doc;  // E enters itself from node 1, with a token of its own
        AddNodes(doc, 1);
        AddGraphEdge(doc, 1, 2, "E");
        MakeFinal(doc, 2);
        ASSERT_TRUE(doc.SelectGraph(1));
        AddNodes(doc, 1);
        AddGraphEdge(doc, 1, 2, "E");
        MakeFinal(doc, 2);
        EXPECT_EQ(Violation(doc), "");  // no tokens: nothing to repeat
        AddEdge(doc, 1, 2, "y");
        EXPECT_EQ(Violation(doc),
                  "Node #1 of graph \"E\" and node #1 of Graph \"E\" have identical outputs!");
    }
    {
        CGrammer doc;  // A and B enter each other: A, processed first, fails
        AddNodes(doc, 1);
        AddGraphEdge(doc, 1, 2, "A");
        MakeFinal(doc, 2);
        for (int g : {1, 2}) {
            ASSERT_TRUE(doc.SelectGraph(g));
            AddNodes(doc, 1);
            AddGraphEdge(doc, 1, 2, g == 1 ? "B" : "A");
            AddEdge(doc, 1, 2, g == 1 ? "a" : "b");
            MakeFinal(doc, 2);
        }
        EXPECT_EQ(Violation(doc),
                  "Node #1 of graph \"A\" and node #1 of Graph \"B\" have identical outputs!");
    }
}

TEST(Ambiguity, OtherNodesAgainstTheGraphTheyEnter) {
    for (bool direct : {true, false}) {
        SCOPED_TRACE(direct ? "x begins E" : "x begins F, which begins E");
        CGrammer doc;
        AddNodes(doc, 2);
        AddEdge(doc, 1, 2, "start");
        AddEdge(doc, 2, 3, "x");
        AddGraphEdge(doc, 2, 3, "E");
        MakeFinal(doc, 3);
        if (direct) {
            Complete(doc, 1, "x");
        } else {
            ASSERT_TRUE(doc.SelectGraph(1));
            AddNodes(doc, 1);
            AddGraphEdge(doc, 1, 2, "F");
            MakeFinal(doc, 2);
            Complete(doc, 2, "x");
        }
        EXPECT_EQ(Violation(doc),
                  "Node #2 of graph \"MAIN\" has the same outputs as node #1 of Graph \"E\"!");
    }
}

TEST(Ambiguity, NodesAreNamedByNumberNotSlot) {
    CGrammer doc;
    AddNodes(doc, 3);
    ASSERT_TRUE(doc.DeleteNode(CentreOf(doc, 2)));
    AddEdge(doc, 1, 3, "go");
    AddEdge(doc, 3, 4, "t");
    AddEdge(doc, 3, 4, "t");
    MakeFinal(doc, 4);
    EXPECT_EQ(Violation(doc), "Node #3 of graph \"MAIN\" has identical outputs!");
    // Unchanged grammar, same answer.
    EXPECT_EQ(Violation(doc), "Node #3 of graph \"MAIN\" has identical outputs!");
}

TEST(Ambiguity, ChainsMergeInDepthFirstOrder) {
    // G0 -> G1 -> ... -> G299 from node 1, each with its own token: the
    // first-token set of G0 holds every token, so a later node of MAIN that
    // enters G0 with the last graph's token is ambiguous.
    CGrammer doc;
    const int depth = 300;
    AddNodes(doc, 2);
    AddGraphEdge(doc, 1, 2, "G0");
    AddEdge(doc, 2, 3, "t" + std::to_string(depth - 1));
    MakeFinal(doc, 3);
    for (int i = 0; i < depth; ++i) {
        ASSERT_TRUE(doc.SelectGraph(i + 1));
        AddNodes(doc, 1);
        AddEdge(doc, 1, 2, "t" + std::to_string(i));
        if (i + 1 < depth) {
            AddGraphEdge(doc, 1, 2, "G" + std::to_string(i + 1));
        }
        MakeFinal(doc, 2);
    }
    ASSERT_TRUE(doc.SelectGraph(0));
    EXPECT_EQ(Violation(doc), "");
    AddGraphEdge(doc, 2, 3, "G0");
    EXPECT_EQ(Violation(doc),
              "Node #2 of graph \"MAIN\" has the same outputs as node #1 of Graph \"G0\"!");
}

}  // namespace
