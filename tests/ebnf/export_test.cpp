// Writing documents as EBNF, and both ways on random grammars.

#include <gtest/gtest.h>

#include <random>

#include "ebnf/export.h"
#include "ebnf/import.h"
#include "support/grammar_builder.h"

namespace {

std::string Written(const std::string& expression) {
    CGrammer doc;
    ebnf::ImportEbnf("R ::= " + expression + "\nG ::= g", doc);
    const std::string text = ebnf::ExportEbnf(doc);
    return text.substr(0, text.find('\n'));
}

TEST(EbnfExport, WritesExpressionsAsAPersonWould) {
    const std::pair<const char*, const char*> cases[] = {
        {"a", "a"},
        {"()", "()"},
        {"a a* b?", "a+ b?"},
        {"( a | b )*", "( a | b )*"},
        {"( x ',' )* x", "x ( \",\" x )*"},
        {"b a | c a | a", "( b | c )? a"},
        {"a b | a c d", "a ( b | c d )"},
        {"[ a b ] a", "a ( b a )?"},
        {"a R | 'R' | G", "R | a MAIN | G"},  // the token R names no graph: written bare
        {"'say \"hi\"' \"it's\" '\\\\'", "'say \"hi\"' \"it's\" \"\\\\\""},
        {"a @x b @'two words'", "a @x b @\"two words\""},
        // Repetitions and options of one body stay apart.
        {"a* b | a+ c", "a+ ( b | c ) | b"},
        {"( a b )? c | ( a b )* d", "( a b )? ( c | d ) | a b ( a b )+ d"},
        {"( a | b c* )? ( d | e f* )? ( g | h i* )?", "( a | b c* )? ( d | e f* )? ( g | h i* )?"},
    };
    for (const auto& [expression, rule] : cases)
        EXPECT_EQ(Written(expression), std::string("MAIN ::= ") + rule) << expression;
    CGrammer doc;  // long rules: one alternative a line
    ebnf::ImportEbnf(
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
    CGrammer drawn;  // drawn graphs come out deterministic and minimal; 6 leads nowhere
    lumo_test::Build(drawn, {{1, 2, "a"}, {1, 3, "a"}, {2, 4, "b"}, {3, 5, "c"}, {3, 6, "x"}},
                     {4, 5});
    EXPECT_EQ(ebnf::ExportEbnf(drawn), "MAIN ::= a ( b | c )\n");
}

// The rules of text against the graphs of doc: same names, same automata.
void ExpectSameAutomata(const std::string& text, const CGrammer& doc) {
    const std::vector<ebnf::CompiledRule> rules = ebnf::CompileGrammar(text);
    ASSERT_EQ(static_cast<int>(rules.size()), doc.GetGraphCount()) << text;
    for (int i = 0; i < doc.GetGraphCount(); ++i) {
        EXPECT_EQ(rules[std::size_t(i)].name, doc.GetGraphName(i));
        EXPECT_TRUE(rules[std::size_t(i)].automaton == *ebnf::GraphAutomaton(*doc.GetGraph(i)))
            << text;
    }
}

TEST(EbnfExport, GivesTheDrawnExamplesBackWithTheirLanguages) {
    for (const std::string name : {"arith", "json"}) {
        CGrammer drawn;
        ASSERT_TRUE(drawn.OnOpenDocument(LUMO_SOURCE_DIR "/examples/" + name + ".lm"));
        ExpectSameAutomata(ebnf::ExportEbnf(drawn), drawn);
        ExpectSameAutomata(lumo_test::ReadFile(LUMO_SOURCE_DIR "/examples/" + name + ".ebnf"),
                           drawn);
    }
}

// A random expression at most `depth` brackets deep, naming the rules.
std::string RandomExpression(std::mt19937& rng, int depth, const std::vector<std::string>& rules) {
    auto pick = [&rng](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    static const char* const tokens[] = {"a", "b", "c", "\"+\"", "'b'", "a @x"};
    static const char* const postfix[] = {"", "", "", "?", "*", "+"};
    std::string out;
    for (std::size_t a = 0, alternatives = depth > 0 && pick(3) == 0 ? 2 + pick(2) : 1;
         a < alternatives; ++a) {
        out += a > 0 ? " | " : "";
        for (std::size_t i = 0, items = 1 + pick(3); i < items; ++i) {
            std::string item = tokens[pick(6)];
            if (depth > 0 && pick(3) == 0)
                item = "( " + RandomExpression(rng, depth - 1, rules) + " )";
            else if (pick(4) == 0)
                item = rules[pick(rules.size())];
            out += (i > 0 ? " " : "") + item + postfix[pick(6)];
        }
    }
    return out;
}

// Each rule becomes a deterministic minimal graph of its language; writing
// and reading back keeps every language and writes the same text again.
TEST(EbnfExport, RandomGrammarsKeepTheirLanguagesBothWays) {
    std::mt19937 rng(1313);
    for (int round = 0; round < 60; ++round) {
        std::string text;
        for (const std::string rule : {"Start", "Item", "List"})
            text += rule + " ::= " + RandomExpression(rng, 3, {"Start", "Item", "List"}) + "\n";
        CGrammer doc, reread;
        ebnf::ImportEbnf(text, doc);
        for (int g = 0; g < doc.GetGraphCount(); ++g)
            EXPECT_EQ(ebnf::GraphAutomaton(*doc.GetGraph(g))->StateCount(),
                      doc.GetGraph(g)->GetNodeCount());
        const std::string written = ebnf::ExportEbnf(doc);
        ExpectSameAutomata(text, doc);
        ExpectSameAutomata(written, doc);
        ebnf::ImportEbnf(written, reread);
        EXPECT_EQ(ebnf::ExportEbnf(reread), written);
    }
}

std::string ExportFailure(const CGrammer& doc) {
    try {
        ebnf::ExportEbnf(doc);
    } catch (const ebnf::ExportError& e) {
        return e.what();
    }
    return "written";
}

TEST(EbnfExport, RefusesWhatTheNotationCannotSay) {
    EXPECT_EQ(ExportFailure(CGrammer()),
              "graph \"MAIN\": it accepts nothing: no final node can be reached from node 1");
    for (const auto& [input, action, graph, message] :
         {std::tuple{"two\nlines", "", false,
                     "graph \"MAIN\": the token \"two\nlines\" cannot be written as a string"},
          {"a", "no at sign", false,
           "graph \"MAIN\": the action \"no at sign\" does not begin with '@' and one line"},
          {"TWO WORDS", "", true, "graph \"TWO WORDS\": its name is not an EBNF name"}}) {
        CGrammer doc;  // MAIN: 1 -input-> 2 (final)
        lumo_test::Build(doc, {{1, 2, input, action, graph}}, {2});
        EXPECT_EQ(ExportFailure(doc), message);
    }
    // The fifth symbol from the end: 64 nodes, an expression past reading.
    CGrammer complex;
    ebnf::ImportEbnf("A ::= ( a | b )* a ( a | b ) ( a | b ) ( a | b ) ( a | b ) ( a | b )",
                     complex);
    EXPECT_EQ(ExportFailure(complex),
              "graph \"MAIN\": its expression would write more than 10000 symbols");
    // A Graph edge whose graph is gone, as a file made elsewhere may hold.
    CGrammer missing;
    lumo_test::Build(missing, {}, {2});
    CGraphElement* node1 = missing.GetGraph(0)->GetElement(0);
    node1->AddEdge(node1, missing.GetGraph(0)->GetElement(1), "GONE", "", true);
    EXPECT_EQ(ExportFailure(missing),
              "graph \"MAIN\": a Graph edge names \"GONE\", which is no graph");
}

}  // namespace
