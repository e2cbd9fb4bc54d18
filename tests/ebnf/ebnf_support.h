#pragma once

// What the EBNF tests share: a compact text for a graph's shape, random
// expressions, and the words of bounded length that an expression and a
// graph accept, each found its own way.

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "ebnf/import.h"
#include "ebnf/syntax.h"
#include "model/grammar.h"

namespace ebnf_test {

// The text of one symbol of a word: a graph in <>, an action after a '/'.
inline std::string Symbol(bool graph, const std::string& text, const std::string& action) {
    return (graph ? "<" + text + ">" : text) + (action.empty() ? "" : "/" + action);
}

// "1-a->2 2-b->2 | 2": every edge in slot and list order as
// FROM-INPUT->TO, a Graph input in <>, an action after a '/', then the
// final nodes.
inline std::string Shape(const CGraph& graph) {
    std::string edges, finals;
    for (int i = 0; i < graph.GetNodeCount(); ++i) {
        const CGraphElement* node = graph.GetElement(i);
        for (int j = 0; j < node->GetEdgeCount(); ++j) {
            const CEdge* e = node->GetEdge(j);
            edges += std::to_string(node->GetNumber()) + "-" +
                     Symbol(e->IsGraph(), e->GetInput(), e->GetAction()) + "->" +
                     std::to_string(e->GetTo()->GetNumber()) + " ";
        }
        if (node->IsFinal()) {
            finals += " " + std::to_string(node->GetNumber());
        }
    }
    return edges + "|" + finals;
}

// The document made of text; fails the test on a syntax error.
inline void Import(const std::string& text, CGrammer& doc) {
    try {
        ebnf::ImportEbnf(text, doc);
    } catch (const ebnf::SyntaxError& e) {
        ADD_FAILURE() << e.Describe("text") << "\n" << text;
    }
}

// A word is a list of edge texts: tokens as written, graphs in <>.
using Word = std::vector<std::string>;
using Words = std::set<Word>;

// The words of at most `limit` symbols an expression denotes, by the
// meaning of each operator (rules named in `rules` are graphs).
inline Words WordsOf(const ebnf::Expr& e, const std::set<std::string>& rules, std::size_t limit) {
    using K = ebnf::Expr::Kind;
    auto concat = [limit](const Words& a, const Words& b) {
        Words out;
        for (const Word& x : a) {
            for (const Word& y : b) {
                if (x.size() + y.size() <= limit) {
                    Word w = x;
                    w.insert(w.end(), y.begin(), y.end());
                    out.insert(w);
                }
            }
        }
        return out;
    };
    Words out;
    switch (e.kind) {
        case K::Empty:
            return Words{Word{}};
        case K::Symbol:
            return limit == 0
                       ? Words{}
                       : Words{Word{Symbol(!e.quoted && rules.contains(e.text), e.text, e.action)}};
        case K::Sequence:
            out.insert(Word{});
            for (const ebnf::Expr& item : e.items) {
                out = concat(out, WordsOf(item, rules, limit));
            }
            return out;
        case K::Choice:
            for (const ebnf::Expr& item : e.items) {
                out.merge(WordsOf(item, rules, limit));
            }
            return out;
        case K::Optional:
        case K::Star:
        case K::Plus: {
            const Words once = WordsOf(e.items.front(), rules, limit);
            out = once;
            for (std::size_t i = 0; e.kind != K::Optional && i < limit; ++i) {
                out.merge(concat(out, once));
            }
            if (e.kind != K::Plus) {
                out.insert(Word{});
            }
            return out;
        }
    }
    return out;
}

// The words of at most `limit` edges on the paths from node 1 to a final
// node, Graph edges into MAIN named mainRule, to compare with WordsOf.
inline Words WordsOf(const CGraph& graph, std::size_t limit, const std::string& mainRule) {
    Words out;
    std::vector<std::pair<const CGraphNode*, Word>> todo{{graph.GetElement(0), {}}};
    while (!todo.empty()) {
        const auto [node, word] = todo.back();
        todo.pop_back();
        if (node->IsFinal()) {
            out.insert(word);
        }
        const auto* element = static_cast<const CGraphElement*>(node);
        for (int j = 0; word.size() < limit && j < element->GetEdgeCount(); ++j) {
            const CEdge* e = element->GetEdge(j);
            Word next = word;
            next.push_back(Symbol(
                e->IsGraph(), e->GetInput() == "MAIN" && e->IsGraph() ? mainRule : e->GetInput(),
                e->GetAction()));
            todo.push_back({e->GetTo(), next});
        }
    }
    return out;
}

// A random expression over the tokens a, b, c (some with an action) and
// the given rule names, at most `depth` brackets deep.
inline std::string RandomExpression(std::mt19937& rng, int depth,
                                    const std::vector<std::string>& rules = {}) {
    auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    auto symbol = [&]() -> std::string {
        static const char* const tokens[] = {"a", "b", "c", "\"+\"", "'b'", "a @x"};
        if (!rules.empty() && pick(4) == 0) {
            return rules[static_cast<std::size_t>(pick(static_cast<int>(rules.size())))];
        }
        return tokens[pick(6)];
    };
    std::string out;
    const int alternatives = depth > 0 && pick(3) == 0 ? 2 + pick(2) : 1;
    for (int a = 0; a < alternatives; ++a) {
        out += a > 0 ? " | " : "";
        const int items = 1 + pick(3);
        for (int i = 0; i < items; ++i) {
            std::string item = depth > 0 && pick(3) == 0
                                   ? "( " + RandomExpression(rng, depth - 1, rules) + " )"
                                   : symbol();
            static const char* const postfix[] = {"", "", "", "?", "*", "+"};
            out += (i > 0 ? " " : "") + item + postfix[pick(6)];
        }
    }
    return out;
}

}  // namespace ebnf_test
