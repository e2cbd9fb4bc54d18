// Writing documents as EBNF: how expressions are written, that drawn
// graphs come back with their languages, and what cannot be written.

#include <gtest/gtest.h>

#include <memory>

#include "ebnf/export.h"
#include "ebnf_support.h"
#include "support/grammar_builder.h"

namespace {

using lumo_test::AddEdge;
using lumo_test::AddNodes;
using lumo_test::MakeFinal;

// The rule written for an expression read as the rule R.
std::string Written(const std::string& expression) {
    CGrammer doc;
    ebnf_test::Import("R ::= " + expression + "\nG ::= g", doc);
    const std::string text = ebnf::ExportEbnf(doc);
    return text.substr(0, text.find('\n'));
}

TEST(EbnfExport, WritesExpressionsAsAPersonWould) {
    const std::pair<const char*, const char*> cases[] = {
        {"a", "MAIN ::= a"},
        {"()", "MAIN ::= ()"},
        {"a a* b?", "MAIN ::= a+ b?"},
        {"( a | b )*", "MAIN ::= ( a | b )*"},
        {"( x ',' )* x", "MAIN ::= x ( \",\" x )*"},
        {"b a | c a | a", "MAIN ::= ( b | c )? a"},
        {"a b | a c d", "MAIN ::= a ( b | c d )"},
        {"[ a b ] a", "MAIN ::= a ( b a )?"},
        // R is a token here: it names no graph, so it is written bare.
        {"a R | 'R' | G", "MAIN ::= R | a MAIN | G"},
        {"'say \"hi\"' \"it's\" '\\\\'", "MAIN ::= 'say \"hi\"' \"it's\" \"\\\\\""},
        {"a @x b @'two words'", "MAIN ::= a @x b @\"two words\""},
        // Repetitions and options of one body stay apart.
        {"a* b | a+ c", "MAIN ::= a+ ( b | c ) | b"},
        {"( a b )? c | ( a b )* d", "MAIN ::= ( a b )? ( c | d ) | a b ( a b )+ d"},
        // A run of options, each of alternatives, comes back as written.
        {"( a | b c* )? ( d | e f* )? ( g | h i* )?",
         "MAIN ::= ( a | b c* )? ( d | e f* )? ( g | h i* )?"},
    };
    for (const auto& [expression, rule] : cases) {
        EXPECT_EQ(Written(expression), rule) << expression;
    }
}

TEST(EbnfExport, PutsLongRulesOneAlternativeALine) {
    CGrammer doc;
    ebnf_test::Import(
        "Statement ::= \"if\" BooleanCondition \"then\" Statement\n"
        "            | \"while\" BooleanCondition \"do\" Statement\n"
        "            | \"begin\" Statement ( \";\" Statement )* \"end\"\n"
        "BooleanCondition ::= c",
        doc);
    EXPECT_EQ(ebnf::ExportEbnf(doc),
              "MAIN             ::= begin MAIN ( \";\" MAIN )* end\n"
              "                   | if BooleanCondition then MAIN\n"
              "                   | while BooleanCondition do MAIN\n"
              "BooleanCondition ::= c\n");
}

TEST(EbnfExport, GivesTheDrawnExamplesBackWithTheirLanguages) {
    for (const std::string name : {"arith", "json"}) {
        CGrammer drawn;
        ASSERT_TRUE(drawn.OnOpenDocument(LUMO_SOURCE_DIR "/examples/" + name + ".lm"));
        const std::string written = ebnf::ExportEbnf(drawn);
        const std::string source =
            lumo_test::ReadFile(LUMO_SOURCE_DIR "/examples/" + name + ".ebnf");
        for (const std::string& text : {written, source}) {
            SCOPED_TRACE(name + ":\n" + text);
            const std::vector<ebnf::CompiledRule> rules = ebnf::CompileGrammar(text);
            ASSERT_EQ(static_cast<int>(rules.size()), drawn.GetGraphCount());
            for (std::size_t i = 0; i < rules.size(); ++i) {
                EXPECT_EQ(rules[i].name, drawn.GetGraphName(static_cast<int>(i)));
                EXPECT_TRUE(rules[i].automaton ==
                            *ebnf::GraphAutomaton(*drawn.GetGraph(static_cast<int>(i))));
            }
        }
    }
}

TEST(EbnfExport, MakesDrawnGraphsDeterministicAndMinimal) {
    CGrammer doc;
    AddNodes(doc, 5);
    AddEdge(doc, 1, 2, "a");
    AddEdge(doc, 1, 3, "a");
    AddEdge(doc, 2, 4, "b");
    AddEdge(doc, 3, 5, "c");
    AddEdge(doc, 3, 6, "x");  // node 6 leads nowhere: it is left out
    MakeFinal(doc, 4);
    MakeFinal(doc, 5);
    EXPECT_EQ(ebnf::ExportEbnf(doc), "MAIN ::= a ( b | c )\n");
}

std::string ExportFailure(CGrammer& doc) {
    try {
        ebnf::ExportEbnf(doc);
    } catch (const ebnf::ExportError& e) {
        return e.what();
    }
    return "written";
}

// MAIN: 1 -input-> 2 (final), or without the edge when input is empty.
std::string OneEdgeFailure(const std::string& input, const std::string& action = "",
                           bool graph = false) {
    CGrammer doc;
    AddNodes(doc, 1);
    MakeFinal(doc, 2);
    if (!input.empty()) {
        AddEdge(doc, 1, 2, input, action, graph);
    }
    return ExportFailure(doc);
}

TEST(EbnfExport, RefusesWhatTheNotationCannotSay) {
    EXPECT_EQ(ExportFailure(*std::make_unique<CGrammer>()),
              "graph \"MAIN\": it accepts nothing: no final node can be reached from node 1");
    EXPECT_EQ(OneEdgeFailure("two\nlines"),
              "graph \"MAIN\": the token \"two\nlines\" cannot be written as a string");
    EXPECT_EQ(OneEdgeFailure("a", "no at sign"),
              "graph \"MAIN\": the action \"no at sign\" does not begin with '@' and one line");
    EXPECT_EQ(OneEdgeFailure("TWO WORDS", "", true),
              "graph \"TWO WORDS\": its name is not an EBNF name");

    // The fifth symbol from the end: 64 nodes, whose expression grows past
    // what anyone would read.
    CGrammer complex;
    ebnf_test::Import("A ::= ( a | b )* a ( a | b ) ( a | b ) ( a | b ) ( a | b ) ( a | b )",
                      complex);
    EXPECT_EQ(ExportFailure(complex),
              "graph \"MAIN\": its expression would write more than 10000 symbols");

    // A Graph edge whose graph is gone, as a file made elsewhere may hold.
    CGrammer missing;
    AddNodes(missing, 1);
    MakeFinal(missing, 2);
    CGraphElement* node1 = missing.GetGraph(0)->GetElement(0);
    node1->AddEdge(node1, missing.GetGraph(0)->GetElement(1), "GONE", "", true);
    EXPECT_EQ(ExportFailure(missing),
              "graph \"MAIN\": a Graph edge names \"GONE\", which is no graph");
}

}  // namespace
