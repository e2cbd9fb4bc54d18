#pragma once

// Graph shapes as text, random expressions, and bounded words of both.

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "ebnf/import.h"
#include "ebnf/syntax.h"
#include "model/grammar.h"

namespace ebnf_test {

// One symbol of a word: a graph in <>, an action after a '/'.
inline std::string Symbol(bool graph, const std::string& text, const std::string& action) {
    return (graph ? "<" + text + ">" : text) + (action.empty() ? "" : "/" + action);
}

// "1-a->2 2-b->2 | 2": every edge in slot and list order, then the finals.
inline std::string Shape(const CGraph& graph) {
    std::string edges, finals;
    for (int i = 0; i < graph.GetNodeCount(); ++i) {
        const CGraphElement* node = graph.GetElement(i);
        const std::string from = std::to_string(node->GetNumber());
        for (int j = 0; j < node->GetEdgeCount(); ++j) {
            const CEdge* e = node->GetEdge(j);
            edges += from + "-" + Symbol(e->IsGraph(), e->GetInput(), e->GetAction()) + "->" +
                     std::to_string(e->GetTo()->GetNumber()) + " ";
        }
        finals += node->IsFinal() ? " " + from : "";
    }
    return edges + "|" + finals;
}

// Words of at most `limit` symbols: edge texts, tokens as written, graphs in <>.
using Word = std::vector<std::string>;
using Words = std::set<Word>;

inline Words Concat(const Words& a, const Words& b, std::size_t limit) {
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
}

// The words an expression denotes (`rules` are graphs).
inline Words WordsOf(const ebnf::Expr& e, const std::set<std::string>& rules, std::size_t limit) {
    using K = ebnf::Expr::Kind;
    Words out;
    if (e.kind == K::Symbol) {
        return limit == 0 ? out
                          : Words{{Symbol(!e.quoted && rules.contains(e.text), e.text, e.action)}};
    }
    if (e.kind == K::Empty || e.kind == K::Sequence) {
        out.insert(Word{});
        for (const ebnf::Expr& item : e.items) {
            out = Concat(out, WordsOf(item, rules, limit), limit);
        }
    } else if (e.kind == K::Choice) {
        for (const ebnf::Expr& item : e.items) {
            out.merge(WordsOf(item, rules, limit));
        }
    } else {  // ?, *, +
        const Words once = WordsOf(e.items.front(), rules, limit);
        out = once;
        for (std::size_t i = 0; e.kind != K::Optional && i < limit; ++i) {
            out.merge(Concat(out, once, limit));
        }
        if (e.kind != K::Plus) {
            out.insert(Word{});
        }
    }
    return out;
}

// The words of a graph, MAIN named mainRule.
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
            const bool main = e->GetInput() == "MAIN" && e->IsGraph();
            Word next = word;
            next.push_back(Symbol(e->IsGraph(), main ? mainRule : e->GetInput(), e->GetAction()));
            todo.push_back({e->GetTo(), next});
        }
    }
    return out;
}

// A random expression at most `depth` brackets deep.
inline std::string RandomExpression(std::mt19937& rng, int depth,
                                    const std::vector<std::string>& rules = {}) {
    auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    static const char* const tokens[] = {"a", "b", "c", "\"+\"", "'b'", "a @x"};
    static const char* const postfix[] = {"", "", "", "?", "*", "+"};
    std::string out;
    const int alternatives = depth > 0 && pick(3) == 0 ? 2 + pick(2) : 1;
    for (int a = 0; a < alternatives; ++a) {
        out += a > 0 ? " | " : "";
        for (int i = 0, items = 1 + pick(3); i < items; ++i) {
            std::string item = tokens[pick(6)];
            if (depth > 0 && pick(3) == 0) {
                item = "( " + RandomExpression(rng, depth - 1, rules) + " )";
            } else if (!rules.empty() && pick(4) == 0) {
                item = rules[static_cast<std::size_t>(pick(static_cast<int>(rules.size())))];
            }
            out += (i > 0 ? " " : "") + item + postfix[pick(6)];
        }
    }
    return out;
}

}  // namespace ebnf_test
