// From an expression to its graph: the minimal deterministic automaton,
// node 1 the start, numbered breadth first with edges in label order.

#include <gtest/gtest.h>

#include "ebnf_support.h"

namespace {

using ebnf_test::Shape;

std::string GraphOf(const std::string& expression) {
    CGrammer doc;
    ebnf_test::Import("R ::= " + expression + "\nG ::= g", doc);
    return Shape(*doc.GetGraph(0));
}

TEST(EbnfConversion, SmallExpressionsGiveTheirGraphs) {
    const std::pair<const char*, const char*> cases[] = {
        {"a", "1-a->2 | 2"},
        {"a b c", "1-a->2 2-b->3 3-c->4 | 4"},
        {"a | b", "1-a->2 1-b->2 | 2"},
        {"a?", "1-a->2 | 1 2"},
        {"a*", "1-a->1 | 1"},
        {"a+", "1-a->2 2-a->2 | 2"},
        {"()", "| 1"},
        {"[ a ] b", "1-a->2 1-b->3 2-b->3 | 3"},
        {"{ a b }", "1-a->2 2-b->1 | 1"},
        // Deterministic: a common beginning is one edge.
        {"a b | a c", "1-a->2 2-b->3 2-c->3 | 3"},
        {"x ( ',' x )*", "1-x->2 2-,->1 | 2"},
        // Tokens before graphs; a token and a graph of one name differ.
        {"G | 'G'", "1-G->2 1-<G>->2 | 2"},
        {"R? G", "1-<G>->2 1-<MAIN>->3 3-<G>->2 | 2"},
        // Actions belong to the label: a with two actions is two edges.
        {"a @x | a @y b", "1-a/@x->2 1-a/@y->3 3-b->2 | 2"},
        {"( a | b c )+ d", "1-a->2 1-b->3 2-a->2 2-b->3 2-d->4 3-c->2 | 4"},
    };
    for (const auto& [expression, graph] : cases) {
        EXPECT_EQ(GraphOf(expression), graph) << expression;
    }
}

TEST(EbnfConversion, OneLanguageOneGraph) {
    const std::vector<std::vector<const char*>> same = {
        {"a+", "a a*", "a* a", "( a+ )+", "a ( a? )*"},
        {"( a | b )*", "( a* b* )*", "{ a | b }", "( b | a )* ( a | b )?", "( a? | b )*"},
        {"a b | a c", "a ( b | c )", "a ( c | b )"},
        {"a? b?", "( a b? | b )?", "[ a ] [ b ]"},
        {"x ( ',' x )*", "( x ',' )* x"},
    };
    for (const auto& group : same) {
        for (const char* expression : group) {
            EXPECT_EQ(GraphOf(expression), GraphOf(group.front()))
                << expression << " and " << group.front();
        }
    }
}

}  // namespace
