#pragma once

// A validated grammar resolved for code generation: tokens and actions
// numbered, Graph edges joined to their graphs, first-token sets computed.
// It numbers, orders and decides exactly as the parser runtime
// (src/runtime) does when it loads the grammar's table, since a generated
// parser must parse as lumo::Parser does with that table.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace codegen {

// The grammar as either model holds it: graphs in document order, node
// slots in slot order (node 1 first), edges in list order. ReadGrammar()
// fills it from a CFlatGrammar or a CGrammer.
struct GrammarInput {
    struct Edge {
        bool graph = false;
        std::string input;
        std::string action;
        int target = 0;  // the target node's number
    };
    struct Node {
        int number = 1;
        bool final = false;
        std::vector<Edge> edges;
    };
    struct Graph {
        std::string name;
        std::vector<Node> nodes;
    };
    std::vector<Graph> graphs;
};

inline constexpr std::uint32_t kNone = 0xFFFFFFFFu;

struct ParserModel {
    struct Edge {
        std::uint32_t token = kNone;     // a Token edge's token
        std::uint32_t graph = kNone;     // a Graph edge's graph
        std::uint32_t target = 0;        // node index
        std::uint32_t action = kNone;    // index in actions
        std::uint32_t continuation = 0;  // a Graph edge's return entry
        bool IsGraph() const { return graph != kNone; }
    };
    struct Node {
        std::uint32_t graph = 0;
        int number = 1;
        bool final = false;
        std::uint32_t edgeBegin = 0;  // edges[edgeBegin, edgeEnd)
        std::uint32_t edgeEnd = 0;
        std::uint32_t graphEdge = kNone;
    };
    struct Graph {
        std::string name;
        std::uint32_t firstNode = 0;  // index of node 1
        std::uint32_t nodeCount = 0;
        // The tokens that enter the graph: node 1's, then those of the
        // graph node 1 enters.
        std::vector<std::uint32_t> first;
        // The Graph edges that enter this graph, by continuation, which
        // numbers them graph by graph so that each graph's are consecutive.
        std::vector<std::uint32_t> callers;
    };

    std::vector<std::string> tokens;   // by id: in order of first use
    std::vector<std::string> actions;  // distinct texts, in order of first use
    std::vector<Graph> graphs;
    std::vector<Node> nodes;
    std::vector<Edge> edges;
    std::vector<std::uint32_t> continuations;  // continuation -> Graph edge

    bool IsOptional(std::uint32_t graph) const { return nodes[graphs[graph].firstNode].final; }
    // The node reached by passing node's Graph edge without entering it, or
    // kNone.
    std::uint32_t PassTarget(std::uint32_t node) const;
};

// Resolves a grammar that has passed validation. Refuses, with
// CParseException, what the runtime would refuse to load although
// validation lets it pass: two graphs of one name, a Graph edge to a graph
// the grammar lacks, two edges of node 1 with one input, left recursion, a
// loop of optional graphs, and first-token sets larger than the runtime's
// limit.
ParserModel BuildParserModel(const GrammarInput& input);

// The model's own copy of a grammar: any class with the two models'
// interface (GetGraphCount, GetGraph, GetName, GetNodeCount, GetElement,
// GetEdgeCount, GetEdge, IsGraph, GetInput, GetAction, IsFinal, GetNumber).
template <class Grammar>
GrammarInput ReadGrammar(const Grammar& grammar) {
    GrammarInput in;
    for (int g = 0; g < grammar.GetGraphCount(); ++g) {
        const auto& graph = *grammar.GetGraph(g);
        GrammarInput::Graph& out = in.graphs.emplace_back();
        out.name = std::string(graph.GetName());
        for (int i = 0; i < graph.GetNodeCount(); ++i) {
            const auto& node = *graph.GetElement(i);
            GrammarInput::Node& n = out.nodes.emplace_back();
            n.number = node.GetNumber();
            n.final = node.IsFinal();
            for (int e = 0; e < node.GetEdgeCount(); ++e) {
                const auto& edge = *node.GetEdge(e);
                int target = 0;
                if constexpr (requires { edge.GetTo(); }) {
                    target = edge.GetTo()->GetNumber();  // an edited edge has no stored number
                } else {
                    target = edge.GetToNumber();
                }
                n.edges.push_back({edge.IsGraph(), std::string(edge.GetInput()),
                                   std::string(edge.GetAction()), target});
            }
        }
    }
    return in;
}

}  // namespace codegen
