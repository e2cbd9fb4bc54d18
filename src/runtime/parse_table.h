#pragma once

// A parse table written by Lumo (".pt"), loaded for parsing. Depends on the
// standard library only, so a program that parses with a table needs nothing
// else of Lumo.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lumo {

// A token of the input, interned by ParseTable::FindToken: the ids of a table
// run from 0 to TokenCount() - 1, so they can index arrays. Any other value
// is a token the grammar does not know, which no edge accepts.
using TokenId = std::uint32_t;
inline constexpr TokenId kUnknownToken = 0xFFFFFFFEu;
// Never in an input: what the parser sees past its last token.
inline constexpr TokenId kEndOfInput = 0xFFFFFFFFu;

// A table that cannot be used: unreadable, truncated, malformed, or breaking
// a rule that validation would have enforced. what() says which and where.
class TableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The loaded table. Loading is strict: every count and length is checked
// against the bytes that remain before anything is allocated for it, so a
// short file never asks for much memory, and nothing may follow the last
// graph. Besides the format, the loader refuses what a table written after
// validation cannot contain, and what validation does not check:
//   - a Graph edge naming a graph the table lacks, an edge to a node its
//     graph lacks, two graphs of one name, two nodes of one number;
//   - a graph without a final node, a final node with a Graph edge, a node
//     with two Graph edges, two edges of one node with equal inputs;
//   - a token that both node 1 of a graph and the graph its node 1 enters
//     start with, or a Token edge whose token starts the graph that the
//     node's Graph edge enters (the choice would not be decided by one
//     token);
//   - left recursion (see below);
//   - first-token sets larger than kMaxFirstTokens in all.
//
// First-token sets are computed the way validation computes them: the token
// inputs of node 1 in edge order, followed by the first-token set of the
// graph that node 1's Graph edge enters, if any. Nothing else widens them,
// in particular not what follows an optional graph at node 1 (below).
//
// Optional graphs (epsilon). A graph whose node 1 is final can be passed
// without a token. Since a final node has no Graph edge, such a graph's
// first-token set is just node 1's tokens. Where a node's Graph edge enters
// an optional graph and the lookahead is neither on one of the node's Token
// edges nor in that graph's first-token set, the parser passes the edge
// without entering: it moves to the edge's target, reports the edge's
// action, and decides again there with the same lookahead. A graph whose
// node 1 is not final is never passed empty, even if it could reach a final
// node through optional graphs alone.
//
// Left recursion. A graph is entered only on a token of its first-token set,
// so the walk consumes that token before anything else happens in it. To be
// sure that parsing can never loop whatever the sets hold, the loader also
// refuses every table in which a graph could reach a Graph edge back to
// itself without consuming a token: through node 1's Graph edge, through
// the Graph edge found after passing optional graphs from node 1, and so on
// through the graphs so entered (E: 1 -E-> 2, or E: 1 -T-> 2 with T: 1 -E->,
// or E: 1 -Opt-> 2 -E-> 3 with Opt optional). It refuses, too, a loop of
// optional graphs within a graph (2 -Opt-> 3 -Opt-> 2), which the parser
// could pass round forever. Grammars that need repetition draw it as a loop
// of edges, the way syntax graphs do: Expr: 1 -Term-> 2, 2 -"+"-> 1.
class ParseTable {
public:
    // More token ids than this in the first-token sets of all graphs (8
    // bytes each) refuse the table rather than exhaust memory: a small table
    // can describe large sets, since each graph's set takes in the set of
    // the graph its node 1 enters.
    static constexpr std::size_t kMaxFirstTokens = std::size_t{1} << 22;
    // Up to this many cells (16 bytes each: two tables of 8), every node
    // gets a direct dispatch row with a cell for every token, and a parsing
    // step is one array read. A larger table is dispatched through hash tables instead,
    // in memory proportional to its edges and first-token sets, at a few
    // times the cost per step.
    static constexpr std::size_t kDefaultMaxDirectCells = std::size_t{1} << 22;

    // Throws TableError, whose message names the file.
    static ParseTable FromFile(const std::string& path,
                               std::size_t maxDirectCells = kDefaultMaxDirectCells);
    // Throws TableError.
    static ParseTable FromBytes(std::string_view bytes,
                                std::size_t maxDirectCells = kDefaultMaxDirectCells);

    // The id of a token, or kUnknownToken; graph names are not tokens.
    TokenId FindToken(std::string_view text) const;
    std::size_t TokenCount() const { return m_tokens.size(); }
    const std::string& TokenText(TokenId id) const { return m_tokens[id]; }
    // "end of input", a token in double quotes, or "an unknown token".
    std::string DescribeToken(TokenId id) const;

    // Graph 0 is MAIN, where parsing starts.
    int GraphCount() const { return static_cast<int>(m_graphs.size()); }
    const std::string& GraphName(int graph) const {
        return m_graphs[static_cast<std::size_t>(graph)].name;
    }
    // The index of the graph named name, or -1.
    int FindGraph(std::string_view name) const;
    // The tokens on which the graph is entered, in validation's order.
    std::span<const TokenId> FirstTokens(int graph) const;
    // Whether the graph's node 1 is final, so the graph can be passed empty.
    bool IsOptional(int graph) const;
    // Whether token is in the graph's first-token set.
    bool StartsWith(int graph, TokenId token) const;
    // Whether every node has a direct dispatch row (see kDefaultMaxDirectCells).
    bool IsDirect() const { return m_direct; }

private:
    friend class Parser;
    friend class TableBuilder;

    // Only loading makes a table, so a table always has MAIN.
    ParseTable() = default;

    struct Graph {
        std::string name;
        std::uint32_t firstNode = 0;  // index in m_nodes of node 1
        std::uint32_t nodeCount = 0;
        std::uint32_t firstBegin = 0;  // m_first[firstBegin, firstEnd)
        std::uint32_t firstEnd = 0;
        std::uint32_t start = 0;  // the state of node 1
    };
    struct Node {
        std::int32_t number = 0;  // positive
        bool final = false;
        std::uint32_t graph = 0;
        std::uint32_t edgeBegin = 0;  // m_edges[edgeBegin, edgeEnd)
        std::uint32_t edgeEnd = 0;
        std::uint32_t graphEdge = 0;  // its Graph edge, or kNone
    };
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    struct Edge {
        std::uint32_t target = 0;       // index in m_nodes
        std::uint32_t targetState = 0;  // the state of target
        std::uint32_t startState = 0;   // a Graph edge's: the state of its graph's node 1
        TokenId token = kUnknownToken;  // a Token edge's input
        std::uint32_t graph = kNone;    // a Graph edge's graph
        std::uint32_t action = kNone;   // index in m_actions; kNone when empty
    };

    // The parser stands in a state: with direct rows, the index of the
    // node's row in m_cells; otherwise the node's index. A cell says what to
    // do: its code holds the kind in the low three bits and an operand above
    // them; aux holds what the kind needs besides, so that a step reads
    // nothing but its cell.
    enum CellKind : std::uint32_t {
        kConsume = 0,        // take a Token edge: operand target state; aux the edge
        kConsumeAction = 1,  // the same, for an edge with an action
        kEnter = 2,          // enter a graph: operand its start state; aux the return entry
        kPass = 3,           // pass an optional graph's Graph edge: operand the edge
        kReturn = 4,         // a final node: leave the graph
        kReject = 5,         // no way on
        // Only when no action is wanted: enter a graph and take the Token
        // edge of its node 1 at once; operand the edge's target state, aux
        // the return entry.
        kEnterConsume = 6,
    };
    struct Cell {
        std::uint32_t code = 0;
        std::uint32_t aux = 0;
    };
    static constexpr std::uint32_t kKindBits = 3;
    static constexpr std::uint32_t kKindMask = (1u << kKindBits) - 1;
    static constexpr std::uint32_t kMaxOperand = 0xFFFFFFFFu >> kKindBits;
    // A return entry on the parser's stack: the state to return to, shifted
    // left by one; or, for a Graph edge with an action, the edge shifted
    // left by one, plus one.
    static std::uint32_t ReturnEntry(const Edge& edge, std::uint32_t e) {
        return edge.action == kNone ? edge.targetState << 1 : (e << 1) | 1;
    }

    struct StringHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    using StringIndex = std::unordered_map<std::string, std::uint32_t, StringHash, std::equal_to<>>;
    static std::uint64_t Key(std::uint32_t a, TokenId t) { return (std::uint64_t{a} << 32) | t; }

    std::uint32_t StateOf(std::uint32_t node) const { return m_direct ? node * m_stride : node; }
    std::uint32_t NodeOf(std::uint32_t state) const { return m_direct ? state / m_stride : state; }
    // The cell of a state for a token; any id past the last token (the end
    // of input, an unknown token) gets the node's default.
    Cell HashedCell(std::uint32_t node, TokenId token) const;
    Cell CellOf(std::uint32_t state, TokenId token) const {
        return m_direct ? m_cells[state + (token < m_stride ? token : m_stride - 1)]
                        : HashedCell(state, token);
    }

    std::vector<std::string> m_tokens;
    StringIndex m_tokenIds;
    std::vector<Graph> m_graphs;
    StringIndex m_graphIds;
    std::vector<Node> m_nodes;
    std::vector<Edge> m_edges;
    std::vector<std::string> m_actions;
    std::vector<TokenId> m_first;
    // The same sets, each sorted, to look tokens up in.
    std::vector<TokenId> m_firstSorted;

    bool m_direct = true;
    std::uint32_t m_stride = 1;  // direct: cells per row, the last for any other token
    std::vector<Cell> m_cells;
    // The same rows for parsing without actions: no edge to report, so
    // kConsumeAction becomes kConsume, return entries are always states, and
    // entering a graph on a token of its node 1 becomes kEnterConsume.
    std::vector<Cell> m_quietCells;
    // Hashed: the cell of each Token edge by (node, token), and each node's
    // cell for tokens that neither a Token edge nor the Graph edge accepts.
    std::unordered_map<std::uint64_t, Cell> m_tokenCells;
    std::vector<Cell> m_defaults;
};

}  // namespace lumo
