#pragma once

// The four checks a grammar must pass before a parse table is written,
// written once for the editable document and for the flat grammar lumo-gen
// reads, so that both find the same first violation with the same message.
// Each check covers all graphs before the next begins, and the first
// violation ends validation with a CParseException. The checks report what
// pairwise scans in document, slot and edge order would report, but use hash
// sets, so a node with many outputs, or a large first-token set, costs
// linear time.

#include <concepts>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "generate/parse_exception.h"
#include "model/validation_queries.h"

namespace grammar_checks {

// A graph with the queries of validation_queries.h as members, and the
// working state of the ambiguity check: a visited mark and a first-token
// set, which GetFirstTokens hands out with its size for AddFirstTokens.
template <class G>
concept CheckedGraph = validation_queries::Graph<G> &&
    requires(G& graph, const G& cgraph, int i, int& number, std::string_view token) {
    { cgraph.GetName() } -> std::convertible_to<std::string_view>;
    { cgraph.HasFinalNode() } -> std::same_as<bool>;
    { cgraph.FindFinalWithGraphOutput(number) } -> std::same_as<bool>;
    { cgraph.FindMultipleGraphOutputs(number) } -> std::same_as<bool>;
    { graph.InitFirstTokens() } -> std::same_as<bool>;
    { cgraph.IsVisited() } -> std::same_as<bool>;
    graph.ToggleVisited();
    { cgraph.GetNodeGraphOutput(i) } -> std::convertible_to<std::string_view>;
    { graph.AddFirstTokens(cgraph.GetFirstTokens(number), number) } -> std::same_as<bool>;
    { cgraph.HasFirstToken(token) } -> std::same_as<bool>;
    { cgraph.NodeHasDuplicateInputs(i) } -> std::same_as<bool>;
    // The input of a node's first graph output, or nullptr.
    { *cgraph.GetElement(i)->FindGraphOutput() } -> std::convertible_to<std::string_view>;
};

// A grammar: its graphs by index in document order, to be checked in place
// (and named through a const grammar).
template <class D>
concept CheckedGrammar = requires(D& doc, const D& cdoc, int i) {
    { cdoc.GetGraphCount() } -> std::convertible_to<int>;
    requires CheckedGraph<std::remove_cvref_t<decltype(*doc.GetGraph(i))>>;
    { cdoc.GetGraph(i)->GetName() } -> std::convertible_to<std::string_view>;
};

// Joins the pieces of a message. (GCC 12 reports a false overlap for
// literal + std::string temporaries, bug 105329.)
inline std::string Concat(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (const std::string_view piece : pieces) {
        text += piece;
    }
    return text;
}

inline std::string Quoted(std::string_view name) {
    return Concat({"\"", name, "\""});
}

inline std::string NodeOf(int number, std::string_view graph) {
    return Concat({"Node #", std::to_string(number), " of graph ", graph});
}

template <CheckedGrammar Grammar>
void CheckFinalNodes(Grammar& doc) {
    for (int g = 0; g < doc.GetGraphCount(); ++g) {
        const auto& graph = *doc.GetGraph(g);
        if (!graph.HasFinalNode()) {
            throw CParseException(
                Concat({"Graph '", graph.GetName(), "' doesn't have final node!"}));
        }
    }
}

// Graph by graph, the first node that find(graph, number) reports ends the
// check with "Node #N of graph NAME" and the problem.
template <CheckedGrammar Grammar, class Find>
void CheckEachGraphsNodes(Grammar& doc, Find find, std::string_view problem) {
    for (int g = 0; g < doc.GetGraphCount(); ++g) {
        const auto& graph = *doc.GetGraph(g);
        int n = 0;
        if (find(graph, n)) {
            throw CParseException(Concat({NodeOf(n, graph.GetName()), problem}));
        }
    }
}

template <CheckedGrammar Grammar>
void CheckFinalGraphOutputs(Grammar& doc) {
    CheckEachGraphsNodes(
        doc, [](const auto& graph, int& n) { return graph.FindFinalWithGraphOutput(n); },
        " has graph output!");
}

template <CheckedGrammar Grammar>
void CheckGraphOutputCount(Grammar& doc) {
    CheckEachGraphsNodes(
        doc, [](const auto& graph, int& n) { return graph.FindMultipleGraphOutputs(n); },
        " has more than one graph output!");
}

// Graph name to index; the first of equal names wins, and a graph without a
// name cannot be entered.
using GraphIndex = std::unordered_map<std::string_view, int>;

template <CheckedGrammar Grammar>
GraphIndex IndexGraphNames(const Grammar& doc) {
    GraphIndex index;
    index.reserve(static_cast<std::size_t>(doc.GetGraphCount()));
    for (int g = doc.GetGraphCount() - 1; g >= 0; --g) {
        const std::string_view name = doc.GetGraph(g)->GetName();
        if (!name.empty()) {
            index[name] = g;
        }
    }
    return index;
}

// Phase B of the ambiguity check: a graph's first-token set takes in that of
// the graph its node 1 enters, depth first through node-1 graph outputs. It
// keeps its own stack rather than recursing, so a long chain of graphs
// cannot exhaust the call stack. A chain that comes back to a graph still
// being processed merges that graph's set as it stands at that moment.
template <CheckedGrammar Grammar>
void CollectFirstTokens(Grammar& doc, int nGraph, const GraphIndex& graphIndex) {
    struct Frame {
        int graph;
        int entered;  // -1 until the frame has started
    };
    std::vector<Frame> stack{{nGraph, -1}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        auto& graph = *doc.GetGraph(top.graph);
        if (top.entered == -1) {
            graph.ToggleVisited();
            const auto found = graphIndex.find(graph.GetNodeGraphOutput(0));
            if (found == graphIndex.end()) {
                stack.pop_back();
                continue;
            }
            top.entered = found->second;
            if (!doc.GetGraph(top.entered)->IsVisited()) {
                stack.push_back({found->second, -1});
                continue;
            }
        }
        const auto& entered = *doc.GetGraph(top.entered);
        int count = 0;
        const auto& tokens = entered.GetFirstTokens(count);
        if (!graph.AddFirstTokens(tokens, count)) {
            throw CParseException(
                Concat({"Node #1 of graph ", Quoted(graph.GetName()), " and node #1 of Graph ",
                        Quoted(entered.GetName()), " have identical outputs!"}));
        }
        stack.pop_back();
    }
}

template <CheckedGrammar Grammar>
void CheckAmbiguity(Grammar& doc) {
    // Phase A: node 1 of every graph, whose tokens start its first-token set.
    for (int g = 0; g < doc.GetGraphCount(); ++g) {
        auto& graph = *doc.GetGraph(g);
        if (!graph.InitFirstTokens()) {
            throw CParseException(
                Concat({"Node #1 of graph ", Quoted(graph.GetName()), " has identical outputs!"}));
        }
    }

    // Phase B: first-token sets along node-1 graph outputs.
    const GraphIndex graphIndex = IndexGraphNames(doc);
    for (int g = 0; g < doc.GetGraphCount(); ++g) {
        if (!doc.GetGraph(g)->IsVisited()) {
            CollectFirstTokens(doc, g, graphIndex);
        }
    }

    // Phase C: every other node, against the graph it enters.
    for (int g = 0; g < doc.GetGraphCount(); ++g) {
        const auto& graph = *doc.GetGraph(g);
        for (int i = 1; i < graph.GetNodeCount(); ++i) {
            const auto& node = *graph.GetElement(i);
            if (graph.NodeHasDuplicateInputs(i)) {
                throw CParseException(
                    Concat({"Node #", std::to_string(node.GetNumber()), " of graph ",
                            Quoted(graph.GetName()), " has identical outputs!"}));
            }
            const auto* output = node.FindGraphOutput();
            const auto entered = output != nullptr ? graphIndex.find(*output) : graphIndex.end();
            if (entered == graphIndex.end()) {
                continue;
            }
            const auto& other = *doc.GetGraph(entered->second);
            for (int e = 0; e < node.GetEdgeCount(); ++e) {
                const auto& edge = *node.GetEdge(e);
                if (!edge.IsGraph() && other.HasFirstToken(edge.GetInput())) {
                    throw CParseException(Concat({"Node #", std::to_string(node.GetNumber()),
                                                  " of graph ", Quoted(graph.GetName()),
                                                  " has the same outputs as node #1 of Graph ",
                                                  Quoted(other.GetName()), "!"}));
                }
            }
        }
    }
}

template <CheckedGrammar Grammar>
void Validate(Grammar& doc) {
    CheckFinalNodes(doc);
    CheckFinalGraphOutputs(doc);
    CheckGraphOutputCount(doc);
    CheckAmbiguity(doc);
}

}  // namespace grammar_checks
