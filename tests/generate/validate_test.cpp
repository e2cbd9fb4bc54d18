// The four checks, their order, and the exact messages.

#include <gtest/gtest.h>

#include <sstream>

#include "generate/parse_exception.h"
#include "model/flat_grammar.h"
#include "support/grammar_builder.h"

namespace {

// The message of the first violation, or "" when the grammar passes.
template <class Grammar>
std::string FirstViolation(Grammar& grammar) {
    try {
        grammar.Validate();
    } catch (const CParseException& e) {
        return e.GetMessage();
    }
    return "";
}

// The same, checking that the document as lumo-gen reads it gets the same.
std::string Violation(CGrammer& doc) {
    CFlatGrammar flat;
    flat.Load(lumo_test::Store(doc));
    EXPECT_EQ(FirstViolation(flat), FirstViolation(doc)) << "lumo-gen's reading disagrees";
    return FirstViolation(doc);
}

// Draws into graph `index` (MAIN, or one an earlier Graph edge made) the
// items of drawing in order: "FROM-INPUT->TO" a Token edge, "FROM-<NAME>->TO" a
// Graph edge, "N!" toggles node N final. Nodes are added as numbers need them.
void Draw(CGrammer& doc, int index, const std::string& drawing) {
    ASSERT_TRUE(doc.SelectGraph(index));
    const auto need = [&doc](int number) {
        while (doc.GetCurrentGraph()->GetLastNumber() < number) {
            lumo_test::AddNodes(doc, 1);
        }
    };
    std::istringstream in(drawing);
    for (std::string item; in >> item;) {
        if (item.back() == '!') {
            need(std::stoi(item));
            lumo_test::MakeFinal(doc, std::stoi(item));
            continue;
        }
        const size_t dash = item.find('-'), arrow = item.rfind("->");
        const int from = std::stoi(item.substr(0, dash)), to = std::stoi(item.substr(arrow + 2));
        std::string input = item.substr(dash + 1, arrow - dash - 1);
        const bool graph = input.size() > 1 && input.front() == '<';
        need(std::max(from, to));
        lumo_test::AddEdge(doc, from, to, graph ? input.substr(1, input.size() - 2) : input, "",
                           graph);
    }
    doc.SelectGraph(0);
}

// Each grammar, graph by graph, and its first violation.
TEST(Validation, FindsTheFirstViolationWithItsMessage) {
    const std::pair<std::vector<const char*>, const char*> cases[] = {
        {{""}, "Graph 'MAIN' doesn't have final node!"},
        {{"1!"}, ""},
        // Check 1 runs over every graph before check 2 (node 1 is final with
        // a graph output), in index order.
        {{"1! 1-<LATER>->1 1-<NEVER>->1"}, "Graph 'LATER' doesn't have final node!"},
        {{"2-<E>->3 2-<F>->4 4-<E>->3 4!", "1-end->2 2!", "1-end->2 2!"},
         "Node #4 of graph MAIN has graph output!"},
        {{"2-<E>->3 2-<F>->4 4-<E>->3 3!", "1-end->2 2!", "1-end->2 2!"},
         "Node #2 of graph MAIN has more than one graph output!"},
        {{"1-<E>->1 1-<F>->1 1!", "1-end->2 2!", "1-end->2 2!"},
         "Node #1 of graph MAIN has graph output!"},
        // Node 1 compares only its tokens, byte for byte.
        {{"1-a->2 1-A->2 2!"}, ""},
        {{"1-a->2 1-A->2 1-a->2 2!"}, "Node #1 of graph \"MAIN\" has identical outputs!"},
        {{"1-E->2 1-<E>->2 2-z->3 3!", "1-e->2 2!"}, ""},
        {{"1-a->2 2-E->3 2-<E>->3 3!", "1-e->2 2!"},
         "Node #2 of graph \"MAIN\" has identical outputs!"},
        // First-token sets along node-1 Graph edges.
        {{"1-x->2 1-<E>->2 2!", "1-x->2 2!"},
         "Node #1 of graph \"MAIN\" and node #1 of Graph \"E\" have identical outputs!"},
        {{"1-<E>->2 2!", "1-<E>->2 2!"}, ""},
        {{"1-<E>->2 2!", "1-<E>->2 2! 1-y->2"},
         "Node #1 of graph \"E\" and node #1 of Graph \"E\" have identical outputs!"},
        {{"1-<A>->2 2!", "1-<B>->2 1-a->2 2!", "1-<A>->2 1-b->2 2!"},
         "Node #1 of graph \"A\" and node #1 of Graph \"B\" have identical outputs!"},
        // Other nodes against the graph they enter, directly or down a chain.
        {{"1-start->2 2-x->3 2-<E>->3 3!", "1-x->2 2!"},
         "Node #2 of graph \"MAIN\" has the same outputs as node #1 of Graph \"E\"!"},
        {{"1-start->2 2-x->3 2-<E>->3 3!", "1-<F>->2 2!", "1-x->2 2!"},
         "Node #2 of graph \"MAIN\" has the same outputs as node #1 of Graph \"E\"!"},
        // A Graph edge back into MAIN is checked as any other.
        {{"1-a->2 2-a->3 2-<MAIN>->3 3!"},
         "Node #2 of graph \"MAIN\" has the same outputs as node #1 of Graph \"MAIN\"!"},
    };
    for (const auto& [graphs, expected] : cases) {
        CGrammer doc;
        for (size_t g = 0; g < graphs.size(); ++g) {
            Draw(doc, static_cast<int>(g), graphs[g]);
        }
        EXPECT_EQ(Violation(doc), expected) << graphs.front();
    }
}

TEST(Validation, NamesNodesByNumberNotSlot) {
    CGrammer doc;
    lumo_test::AddNodes(doc, 3);
    ASSERT_TRUE(doc.DeleteNode(lumo_test::CentreOf(doc, 2)));
    Draw(doc, 0, "1-go->3 3-t->4 3-t->4 4!");
    EXPECT_EQ(Violation(doc), "Node #3 of graph \"MAIN\" has identical outputs!");
}

// G0 -> G1 -> ... -> G299 from node 1, each with its own token: the
// first-token set of G0 holds every token, so a later node of MAIN that
// enters G0 with the last graph's token is ambiguous.
TEST(Validation, ChainsMergeInDepthFirstOrder) {
    CGrammer doc;
    const int depth = 300;
    Draw(doc, 0, "1-<G0>->2 2-t299->3 3!");
    for (int i = 0; i < depth; ++i) {
        const std::string t = std::to_string(i), next = std::to_string(i + 1);
        Draw(doc, i + 1,
             "1-t" + t + "->2 " + (i + 1 < depth ? "1-<G" + next + ">->2 " : "") + "2!");
    }
    EXPECT_EQ(Violation(doc), "");
    Draw(doc, 0, "2-<G0>->3");
    EXPECT_EQ(Violation(doc),
              "Node #2 of graph \"MAIN\" has the same outputs as node #1 of Graph \"G0\"!");
}

}  // namespace
