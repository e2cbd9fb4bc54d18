// Random expressions and grammars: each rule's graph is deterministic and
// accepts exactly the words its expression denotes, and writing a document
// as EBNF and reading it back gives the same minimal automata.

#include <gtest/gtest.h>

#include "ebnf/export.h"
#include "ebnf_support.h"

namespace {

using ebnf_test::Import;
using ebnf_test::RandomExpression;

bool Deterministic(const CGraph& graph) {
    for (int i = 0; i < graph.GetNodeCount(); ++i) {
        const CGraphElement* node = graph.GetElement(i);
        std::set<ebnf::Label> seen;
        for (int j = 0; j < node->GetEdgeCount(); ++j) {
            const CEdge* e = node->GetEdge(j);
            if (!seen.insert({e->IsGraph(), e->GetInput(), e->GetAction()}).second) {
                return false;
            }
        }
    }
    return true;
}

TEST(EbnfProperties, EachRuleBecomesADeterministicGraphOfItsLanguage) {
    std::mt19937 rng(13);
    for (int round = 0; round < 100; ++round) {
        const std::string text = "R ::= " + RandomExpression(rng, 3, {"R", "S"}) + "\nS ::= s\n";
        SCOPED_TRACE(text);
        CGrammer doc;
        Import(text, doc);
        ASSERT_EQ(doc.GetGraphCount(), 2);
        const CGraph& graph = *doc.GetGraph(0);
        EXPECT_TRUE(Deterministic(graph));
        const std::vector<ebnf::Rule> rules = ebnf::ParseGrammar(text);
        EXPECT_EQ(ebnf_test::WordsOf(graph, 5, "R"),
                  ebnf_test::WordsOf(rules.front().body, {"R", "S"}, 5));
        // Minimal: no two nodes accept the same rest of a word.
        const std::optional<ebnf::Automaton> minimal = ebnf::GraphAutomaton(graph);
        ASSERT_TRUE(minimal);
        EXPECT_EQ(minimal->StateCount(), graph.GetNodeCount());
    }
}

TEST(EbnfProperties, WritingAndReadingBackKeepsEveryLanguage) {
    std::mt19937 rng(1313);
    for (int round = 0; round < 60; ++round) {
        const std::vector<std::string> names{"Start", "Item", "List"};
        std::string text;
        for (const std::string& name : names) {
            text += name + " ::= " + RandomExpression(rng, 3, names) + "\n";
        }
        SCOPED_TRACE(text);
        CGrammer doc;
        Import(text, doc);
        const std::string written = ebnf::ExportEbnf(doc);
        SCOPED_TRACE(written);
        const std::vector<ebnf::CompiledRule> original = ebnf::CompileGrammar(text);
        std::vector<ebnf::CompiledRule> again;
        ASSERT_NO_THROW(again = ebnf::CompileGrammar(written));
        ASSERT_EQ(again.size(), original.size());
        for (std::size_t i = 0; i < original.size(); ++i) {
            EXPECT_EQ(again[i].name, original[i].name);
            EXPECT_TRUE(again[i].automaton == original[i].automaton) << original[i].name;
            EXPECT_TRUE(*ebnf::GraphAutomaton(*doc.GetGraph(static_cast<int>(i))) ==
                        original[i].automaton);
        }
        // What was written is written again unchanged.
        CGrammer reread;
        Import(written, reread);
        EXPECT_EQ(ebnf::ExportEbnf(reread), written);
    }
}

}  // namespace
