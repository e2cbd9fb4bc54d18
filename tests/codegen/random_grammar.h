#pragma once

// Small random grammar documents, many of which break the rules: up to four
// graphs of up to six nodes, gaps in node numbers, names no identifier spells.

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "fuzz/lm_layout.h"

namespace lumo_test {

inline lm_layout::Document RandomGrammar(std::mt19937& rng) {
    // Keywords, a macro, a trigraph, UTF-8, "", and two that spell one identifier.
    static const std::vector<std::string> kTokens = {
        "a",   "b",  "c",  "d",      "+",    "(",        ")", "if", "int", "EOF",
        "x y", "\\", "a+", "a_plus", "?\?=", "\xC3\xA9", "",  "\"", "1",   "a\nb"};
    static const std::vector<std::string> kGraphs = {"Expr", "LIST", "if",    "a-b",
                                                     "x y",  "Opt",  "\"Q\"", "1st"};
    static const std::vector<std::string> kActions = {"@a", "@push", "@if", "@", "@1", "@x y"};
    auto below = [&rng](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    auto chance = [&rng](unsigned percent) { return rng() % 100 < percent; };
    auto pick = [&](std::vector<std::string> all, std::size_t count) {
        std::shuffle(all.begin(), all.end(), rng);
        all.resize(std::min(count, all.size()));
        return all;
    };
    std::vector<std::string> names = pick(kGraphs, below(4));
    names.insert(names.begin(), "MAIN");
    const std::vector<std::string> tokens = pick(kTokens, 2 + below(5));

    lm_layout::Document doc;
    for (const std::string& name : names) {
        lm_layout::Graph& graph = doc.graphs.emplace_back();
        graph.name = name;
        int32_t number = 1;
        for (std::size_t i = 0, count = 1 + below(6); i < count; ++i) {
            graph.nodes.emplace_back().signedNumber = chance(i == 0 ? 20 : 35) ? -number : number;
            number += chance(20) ? 2 : 1;
        }
        if (std::ranges::none_of(graph.nodes, [](const auto& n) { return n.signedNumber < 0; }))
            graph.nodes.back().signedNumber = -graph.nodes.back().signedNumber;
        graph.lastNumber = number - 1 + static_cast<int32_t>(below(2));
        std::unordered_map<int32_t, int32_t> ends;  // each edge counts one at both its nodes
        for (lm_layout::Node& node : graph.nodes) {
            bool graphEdge = false;
            std::vector<std::string> inputs = pick(tokens, tokens.size());
            for (std::size_t k = 0, edges = below(4); k < edges && !inputs.empty(); ++k) {
                lm_layout::Edge& edge = node.edges.emplace_back();
                edge.target = std::abs(graph.nodes[below(graph.nodes.size())].signedNumber);
                if (node.signedNumber > 0 && !graphEdge && chance(35)) {
                    graphEdge = true;
                    edge.type = 1;
                    edge.input = names[below(names.size())];
                } else {
                    edge.input = inputs.back();
                    inputs.pop_back();
                }
                if (chance(35))
                    edge.action = kActions[below(kActions.size())];
                ++ends[edge.target];
                ++ends[std::abs(node.signedNumber)];
            }
        }
        for (lm_layout::Node& node : graph.nodes)
            node.refCount = ends[std::abs(node.signedNumber)];
    }
    return doc;
}

}  // namespace lumo_test
