#pragma once

// Graph shapes as text, and random grammars in the notation.

#include <random>
#include <string>
#include <vector>

#include "ebnf/import.h"
#include "model/grammar.h"

namespace ebnf_test {

// "1-a->2 2-<G>/@x->2 | 2": every edge in slot and list order, a graph in <>
// and an action after a '/', then the final nodes.
inline std::string Shape(const CGraph& graph) {
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

// A random expression at most `depth` brackets deep, naming the rules.
inline std::string RandomExpression(std::mt19937& rng, int depth,
                                    const std::vector<std::string>& rules) {
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

inline std::string RandomGrammar(std::mt19937& rng, int depth,
                                 const std::vector<std::string>& rules) {
    std::string text;
    for (const std::string& rule : rules)
        text += rule + " ::= " + RandomExpression(rng, depth, rules) + "\n";
    return text;
}

}  // namespace ebnf_test
