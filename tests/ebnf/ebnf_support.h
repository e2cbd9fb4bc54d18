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

// "1-a->2 2-b->2 | 2": every edge in slot and list order as
// FROM-INPUT->TO, a Graph input in <>, an action after a '/', then the
// final nodes.
inline std::string Shape(const CGraph& graph) {
    std::string edges, finals;
    for (int i = 0; i < graph.GetNodeCount(); ++i) {
        const CGraphElement* node = graph.GetElement(i);
        for (int j = 0; j < node->GetEdgeCount(); ++j) {
            const CEdge* e = node->GetEdge(j);
            const std::string input = e->IsGraph() ? "<" + e->GetInput() + ">" : e->GetInput();
            const std::string action = e->GetAction().empty() ? "" : "/" + e->GetAction();
            edges += std::to_string(node->GetNumber()) + "-" + input + action + "->" +
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
    switch (e.kind) {
        case K::Empty:
            return Words{Word{}};
        case K::Symbol: {
            const bool graph = !e.quoted && rules.contains(e.text);
            std::string s = graph ? "<" + e.text + ">" : e.text;
            s += e.action.empty() ? "" : "/" + e.action;
            return limit == 0 ? Words{} : Words{Word{s}};
        }
        case K::Sequence: {
            Words out{Word{}};
            for (const ebnf::Expr& item : e.items) {
                out = concat(out, WordsOf(item, rules, limit));
            }
            return out;
        }
        case K::Choice: {
            Words out;
            for (const ebnf::Expr& item : e.items) {
                const Words w = WordsOf(item, rules, limit);
                out.insert(w.begin(), w.end());
            }
            return out;
        }
        case K::Optional: {
            Words out = WordsOf(e.items.front(), rules, limit);
            out.insert(Word{});
            return out;
        }
        case K::Star:
        case K::Plus: {
            const Words once = WordsOf(e.items.front(), rules, limit);
            Words out = once;
            for (std::size_t i = 0; i < limit; ++i) {
                const Words more = concat(out, once);
                out.insert(more.begin(), more.end());
            }
            if (e.kind == K::Star) {
                out.insert(Word{});
            }
            return out;
        }
    }
    return {};
}

// The words of at most `limit` edges on the paths from node 1 to a final
// node. Graph inputs are written in <>, with the start rule's name for
// MAIN so that they compare with WordsOf.
inline Words WordsOf(const CGraph& graph, std::size_t limit, const std::string& mainRule) {
    Words out;
    struct Walk {
        const CGraphNode* node;
        Word word;
    };
    std::vector<Walk> todo{{graph.GetElement(0), {}}};
    while (!todo.empty()) {
        const Walk w = todo.back();
        todo.pop_back();
        if (w.node->IsFinal()) {
            out.insert(w.word);
        }
        if (w.word.size() == limit) {
            continue;
        }
        const auto* element = static_cast<const CGraphElement*>(w.node);
        for (int j = 0; j < element->GetEdgeCount(); ++j) {
            const CEdge* e = element->GetEdge(j);
            std::string input = e->GetInput() == "MAIN" && e->IsGraph() ? mainRule : e->GetInput();
            std::string s = e->IsGraph() ? "<" + input + ">" : input;
            s += e->GetAction().empty() ? "" : "/" + e->GetAction();
            Word next = w.word;
            next.push_back(s);
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
