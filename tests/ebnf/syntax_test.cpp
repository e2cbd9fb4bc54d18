// Reading the notation: its errors, and the graph each expression becomes.

#include <gtest/gtest.h>

#include "ebnf/import.h"
#include "model/grammar.h"

namespace {

// "1-a->2 2-<G>/@x->2 | 2": every edge in slot and list order, a graph in <>
// and an action after a '/', then the final nodes.
std::string Shape(const CGraph& graph) {
    std::string edges, finals;
    for (int i = 0; i < graph.GetNodeCount(); ++i) {
        const CGraphElement* node = graph.GetElement(i);
        const std::string from = std::to_string(node->GetNumber());
        for (int j = 0; j < node->GetEdgeCount(); ++j) {
            const CEdge* e = node->GetEdge(j);
            edges += from + "-" + (e->IsGraph() ? "<" + e->GetInput() + ">" : e->GetInput()) +
                     (e->GetAction().empty() ? "" : "/" + e->GetAction()) + "->" +
                     std::to_string(e->GetTo()->GetNumber()) + " ";
        }
        finals += node->IsFinal() ? " " + from : "";
    }
    return edges + "|" + finals;
}

std::string FirstError(const std::string& text, bool compile = false) {
    try {
        compile ? (void)ebnf::CompileGrammar(text) : (void)ebnf::ParseGrammar(text);
    } catch (const ebnf::SyntaxError& e) {
        return e.Describe("g.ebnf");
    }
    return "accepted";
}

TEST(EbnfSyntax, ReportsEachErrorWhereItIs) {
    const std::pair<const char*, const char*> cases[] = {
        {"A ::= a $ b", "1:9: error: unknown character '$'"},
        {"A ::= a\n  \x01", "2:3: error: unknown character 0x01"},
        {"A ::= \"caf\xC3\xA9\" ;", "1:14: error: unknown character ';'"},
        {"A ::= ( a b", "1:7: error: '(' is not closed"},
        {"A ::= [ a ) b", "1:11: error: expected ']' to close the '[' at 1:7, found ')'"},
        {"A ::= { a\nB ::= b", "1:7: error: '{' is not closed"},
        {"A ::= a ) b", "1:9: error: unmatched ')'"},
        {"A ::= a\n\nA ::= b", "3:1: error: rule 'A' is already defined at 1:1"},
        {"A ::= a | | b", "1:9: error: empty alternative; write () for an empty sequence"},
        {"A ::= | b", "1:3: error: empty alternative; write () for an empty sequence"},
        {"A ::= a |\nB ::= b", "1:9: error: empty alternative; write () for an empty sequence"},
        {"A ::=\nB ::= b", "1:3: error: empty alternative; write () for an empty sequence"},
        {"A ::= ( a | )", "1:11: error: empty alternative; write () for an empty sequence"},
        {"A ::= [ ]", "1:7: error: empty alternative; write () for an empty sequence"},
        {"A ::= a ::= b", "1:3: error: empty alternative; write () for an empty sequence"},
        {"A ::= a\n  /* open", "2:3: error: unterminated comment"},
        {"A ::= \"a\nb\"", "1:7: error: unterminated string"},
        {"A ::= 'a", "1:7: error: unterminated string"},
        {"A ::= \"\"", "1:7: error: empty string: a token has at least one character"},
        {"A ::= \"a\\nb\"",
         "1:9: error: unknown escape in a string: only \\\", \\' and \\\\ are escapes"},
        {"A ::= a @", "1:9: error: expected an action name or a string after '@'"},
        {"A ::= @x a", "1:7: error: an action follows a name or a string directly"},
        {"A ::= ( a ) @x", "1:13: error: an action follows a name or a string directly"},
        {"A ::= a @x @y", "1:12: error: an action follows a name or a string directly"},
        {"A ::= * a", "1:7: error: '*' follows nothing it could repeat"},
        {"A ::= a | ::= b", "1:11: error: unexpected '::='"},
        {"::= a", "1:1: error: expected a rule name, found '::='"},
        {"A B ::= a", "1:3: error: expected '::=' after 'A', found 'B'"},
        {"\"A\" ::= a", "1:1: error: expected a rule name, found a string"},
        {"// only a comment\n", "2:1: error: no rules: a grammar has at least one"},
        {"", "1:1: error: no rules: a grammar has at least one"},
    };
    for (const auto& [text, error] : cases)
        EXPECT_EQ(FirstError(text), std::string("g.ebnf:") + error) << text;
}

TEST(EbnfSyntax, RefusesWhatWouldExhaustTheStackOrTheCanvas) {
    std::string deep = "A ::= ";
    for (int i = 0; i < ebnf::kMaxNesting; ++i)
        deep += "( ";
    EXPECT_EQ(FirstError(deep + "a" + std::string(ebnf::kMaxNesting, ')')), "accepted");
    EXPECT_NE(FirstError(deep + "( a"), "accepted");
    // The tenth symbol from the end: a thousand states when deterministic;
    // forty options: 41 nodes, but 820 edges.
    std::string wide = "A ::= a\n\nWide ::= ( a | b )* a", skips = "Skips ::= ";
    for (int i = 0; i < 40; ++i) {
        wide += i < 10 ? " ( a | b )" : "";
        skips += "t" + std::to_string(i) + "? ";
    }
    EXPECT_EQ(FirstError(wide, true),
              "g.ebnf:3:1: error: rule 'Wide' is too large: its graph "
              "would have more than 200 nodes");
    EXPECT_EQ(FirstError(skips + "end", true),
              "g.ebnf:1:1: error: rule 'Skips' is too large: its graph would have more than "
              "600 edges");
}

// Each text as the rule R beside G ::= g; the shapes of its graphs, in order.
std::vector<std::string> Shapes(const std::string& text) {
    CGrammer doc;
    ebnf::ImportEbnf(text, doc);
    std::vector<std::string> out;
    for (int i = 0; i < doc.GetGraphCount(); ++i)
        out.push_back(doc.GetGraphName(i) + ": " + Shape(*doc.GetGraph(i)));
    return out;
}
std::string GraphOf(const std::string& expression) {
    return Shapes("R ::= " + expression + "\nG ::= g").front();
}

TEST(EbnfSyntax, ReadsCommentsStringsActionsAndStartsWithMain) {
    EXPECT_EQ(
        Shapes("/* a comment\n   over lines */ Start ::= 'it''s' // to the end\n"
               "  \"say \\\"hi\\\"\" @greet [ x @\"two words\" ] { 'back\\\\slash' }\n"
               "  name-with.dots ()"),
        std::vector<std::string>{
            "MAIN: 1-it->2 2-s->3 3-say \"hi\"/@greet->4 4-back\\slash->5 "
            "4-name-with.dots->6 4-x/@two words->5 5-back\\slash->5 5-name-with.dots->6 | 6"});
    // The first rule is MAIN, and so are references to it.
    EXPECT_EQ(Shapes("Expr ::= n ( '+' Expr )?\nOther ::= Expr Expr"),
              (std::vector<std::string>{"MAIN: 1-n->2 2-+->3 3-<MAIN>->4 | 2 4",
                                        "Other: 1-<MAIN>->2 2-<MAIN>->3 | 3"}));
    // A rule named MAIN is the start wherever it stands; the others keep
    // their order; an undefined name is a token; any white space will do.
    EXPECT_EQ(Shapes("A::=b\r\n\tB::=MAIN\f\vMAIN::=A|c"),
              (std::vector<std::string>{"MAIN: 1-c->2 1-<A>->2 | 2", "A: 1-b->2 | 2",
                                        "B: 1-<MAIN>->2 | 2"}));
    // An error leaves the document as it was.
    CGrammer doc;
    ebnf::ImportEbnf("A ::= a b", doc);
    EXPECT_THROW(ebnf::ImportEbnf("A ::= (", doc), ebnf::SyntaxError);
    ASSERT_EQ(doc.GetGraphCount(), 1);
    EXPECT_EQ(Shape(*doc.GetGraph(0)), "1-a->2 2-b->3 | 3");
}

TEST(EbnfSyntax, SmallExpressionsGiveTheirGraphs) {
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
        {"a b | a c", "1-a->2 2-b->3 2-c->3 | 3"},  // a common beginning is one edge
        {"x ( ',' x )*", "1-x->2 2-,->1 | 2"},
        // Tokens before graphs; a token and a graph of one name differ.
        {"G | 'G'", "1-G->2 1-<G>->2 | 2"},
        {"R? G", "1-<G>->2 1-<MAIN>->3 3-<G>->2 | 2"},
        // Actions belong to the label: a with two actions is two edges.
        {"a @x | a @y b", "1-a/@x->2 1-a/@y->3 3-b->2 | 2"},
        {"( a | b c )+ d", "1-a->2 1-b->3 2-a->2 2-b->3 2-d->4 3-c->2 | 4"},
    };
    for (const auto& [expression, graph] : cases)
        EXPECT_EQ(GraphOf(expression), std::string("MAIN: ") + graph) << expression;
    // One language, one graph.
    for (const auto& group : std::vector<std::vector<const char*>>{
             {"a+", "a a*", "a* a", "( a+ )+", "a ( a? )*"},
             {"( a | b )*", "( a* b* )*", "{ a | b }", "( b | a )* ( a | b )?", "( a? | b )*"},
             {"a b | a c", "a ( c | b )"}}) {
        for (const char* expression : group)
            EXPECT_EQ(GraphOf(expression), GraphOf(group.front())) << expression;
    }
}

}  // namespace
