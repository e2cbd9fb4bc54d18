#pragma once

// A parse table written by Lumo (".pt"), loaded for parsing. Depends on the
// standard library only, so a program that parses with a table needs nothing
// else of Lumo.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lumo {

namespace internal {
struct TableData;
}

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
    // step is one array read. A larger table is dispatched through hash
    // tables instead, in memory proportional to its edges and first-token
    // sets, at a few times the cost per step.
    static constexpr std::size_t kDefaultMaxDirectCells = std::size_t{1} << 22;

    // Throws TableError, whose message names the file.
    static ParseTable FromFile(const std::string& path,
                               std::size_t maxDirectCells = kDefaultMaxDirectCells);
    // Throws TableError.
    static ParseTable FromBytes(std::string_view bytes,
                                std::size_t maxDirectCells = kDefaultMaxDirectCells);

    // The id of a token, or kUnknownToken; graph names are not tokens.
    TokenId FindToken(std::string_view text) const;
    std::size_t TokenCount() const;
    const std::string& TokenText(TokenId id) const;
    // "end of input", a token in double quotes, or "an unknown token".
    std::string DescribeToken(TokenId id) const;

    // Graph 0 is MAIN, where parsing starts.
    int GraphCount() const;
    const std::string& GraphName(int graph) const;
    // The index of the graph named name, or -1.
    int FindGraph(std::string_view name) const;
    // The tokens on which the graph is entered, in validation's order.
    std::span<const TokenId> FirstTokens(int graph) const;
    // Whether the graph's node 1 is final, so the graph can be passed empty.
    bool IsOptional(int graph) const;
    // Whether token is in the graph's first-token set.
    bool StartsWith(int graph, TokenId token) const;
    // Whether every node has a direct dispatch row (see kDefaultMaxDirectCells).
    bool IsDirect() const;

private:
    friend class Parser;

    // Only loading makes a table, so a table always has MAIN. Copies share
    // the loaded data, which never changes.
    explicit ParseTable(std::shared_ptr<const internal::TableData> data);

    std::shared_ptr<const internal::TableData> m_data;
};

}  // namespace lumo
