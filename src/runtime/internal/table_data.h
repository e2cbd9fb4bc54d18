#pragma once

// What a loaded parse table holds: graphs, nodes and edges resolved to
// indexes, the first-token sets, and the dispatch rows the parser walks.
// Internal to the runtime: not installed, so its layout can change without
// touching a program that parses.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/internal/dispatch.h"
#include "runtime/parse_table.h"

namespace lumo::internal {

inline constexpr std::uint32_t kNone = 0xFFFFFFFFu;

inline std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

struct TableGraph {
    std::string name;
    std::uint32_t firstNode = 0;  // index in nodes of node 1
    std::uint32_t nodeCount = 0;
    std::uint32_t firstBegin = 0;  // first[firstBegin, firstEnd)
    std::uint32_t firstEnd = 0;
    std::uint32_t start = 0;  // the state of node 1
};

struct TableNode {
    std::int32_t number = 0;  // positive
    bool final = false;
    std::uint32_t graph = 0;
    std::uint32_t edgeBegin = 0;  // edges[edgeBegin, edgeEnd)
    std::uint32_t edgeEnd = 0;
    std::uint32_t graphEdge = 0;  // its Graph edge, or kNone
};

struct TableEdge {
    std::uint32_t target = 0;       // index in nodes
    std::uint32_t targetState = 0;  // the state of target
    std::uint32_t startState = 0;   // a Graph edge's: the state of its graph's node 1
    TokenId token = kUnknownToken;  // a Token edge's input
    std::uint32_t graph = kNone;    // a Graph edge's graph
    std::uint32_t action = kNone;   // index in actions; kNone when empty
};

struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
using StringIndex = std::unordered_map<std::string, std::uint32_t, StringHash, std::equal_to<>>;

struct TableData {
    std::vector<std::string> tokens;
    StringIndex tokenIds;
    std::vector<TableGraph> graphs;
    StringIndex graphIds;
    std::vector<TableNode> nodes;
    std::vector<TableEdge> edges;
    std::vector<std::string> actions;
    std::vector<TokenId> first;
    // The same sets, each sorted, to look tokens up in.
    std::vector<TokenId> firstSorted;

    // The parser stands in a state: with direct rows, the index of the
    // node's row in cells; otherwise the node's index.
    bool direct = true;
    std::uint32_t stride = 1;  // direct: cells per row, the last for any other token
    std::vector<Cell> cells;
    // The same rows for parsing without actions: no edge to report, so
    // kConsumeAction becomes kConsume, return entries are always states, and
    // entering a graph on a token of its node 1 becomes kEnterConsume.
    std::vector<Cell> quietCells;
    // Hashed: the cell of each Token edge by (node, token), and each node's
    // cell for tokens that neither a Token edge nor the Graph edge accepts.
    std::unordered_map<std::uint64_t, Cell> tokenCells;
    std::vector<Cell> defaults;

    std::span<const TokenId> FirstTokens(std::uint32_t graph) const {
        const TableGraph& g = graphs[graph];
        return std::span<const TokenId>(first.data() + g.firstBegin, g.firstEnd - g.firstBegin);
    }
    bool StartsWith(std::uint32_t graph, TokenId token) const {
        const TableGraph& g = graphs[graph];
        return std::binary_search(firstSorted.begin() + g.firstBegin,
                                  firstSorted.begin() + g.firstEnd, token);
    }
    // Whether the graph's node 1 is final, so it can be passed empty.
    bool Optional(std::uint32_t graph) const { return nodes[graphs[graph].firstNode].final; }

    std::uint32_t StateOf(std::uint32_t node) const { return direct ? node * stride : node; }
    std::uint32_t NodeOf(std::uint32_t state) const { return direct ? state / stride : state; }

    // A return entry on the parser's stack: the state to return to, shifted
    // left by one; or, for a Graph edge with an action, the edge shifted
    // left by one, plus one.
    static std::uint32_t ReturnEntry(const TableEdge& edge, std::uint32_t e) {
        return edge.action == kNone ? edge.targetState << 1 : (e << 1) | 1;
    }
    // The cell that enters the graph of Graph edge e.
    Cell EnterCell(std::uint32_t e) const {
        return Cell::Make(kEnter, edges[e].startState, ReturnEntry(edges[e], e));
    }
    // The state a return entry leads back to.
    std::uint32_t ReturnState(std::uint32_t entry) const {
        return (entry & 1) == 0 ? entry >> 1 : edges[entry >> 1].targetState;
    }

    static std::uint64_t Key(std::uint32_t node, TokenId t) {
        return (std::uint64_t{node} << 32) | t;
    }
    // The cell of a state for a token; any id past the last token (the end
    // of input, an unknown token) gets the node's default.
    Cell HashedCell(std::uint32_t node, TokenId token) const;
    Cell CellOf(std::uint32_t state, TokenId token) const {
        return direct ? cells[state + (token < stride ? token : stride - 1)]
                      : HashedCell(state, token);
    }
};

}  // namespace lumo::internal
