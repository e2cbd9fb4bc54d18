#pragma once

// Parsing with a loaded table: the graphs are walked with one token of
// lookahead. At a node, in this order:
//   1. a Token edge whose input is the lookahead is taken and the token
//      consumed;
//   2. the node's Graph edge is entered when the lookahead is in the entered
//      graph's first-token set; the graph returns to the edge's target;
//   3. a Graph edge into an optional graph (node 1 final) is passed without
//      entering it (see parse_table.h);
//   4. a final node returns from its graph; MAIN returning accepts the input
//      when the lookahead is the end of input;
//   5. otherwise the input is refused with a ParseError.
// 3 and 4 never compete, since a final node has no Graph edge.
//
// The walk keeps its graphs on an explicit stack, not the call stack, so
// deeply nested input cannot overflow it; past maxDepth nested graphs the
// input is refused instead.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "runtime/parse_table.h"

namespace lumo {

// An action, reported when the parser has passed the edge that carries it:
// a Token edge's when its token is consumed, a Graph edge's when the graph
// it entered returns (or at once, when an optional graph is passed empty).
// So the actions of an entered graph come before its Graph edge's own, in
// the order a calculator needs: "1 + 2" reports the operands, then "@add".
// Edges without an action report nothing.
struct Action {
    std::string_view text;  // as in the table, e.g. "@add"
    // A Token edge: the index of the token consumed. A Graph edge: the index
    // of the lookahead when the graph returned (the input's size at its end).
    std::size_t position = 0;
    TokenId token = kUnknownToken;  // a Token edge's token
    int graph = -1;                 // a Graph edge's graph; -1 for a Token edge

    bool IsGraph() const { return graph >= 0; }
};

struct ParseError {
    enum class Kind {
        Syntax,   // no edge of the walk accepts the token
        TooDeep,  // entering one more graph would pass maxDepth
    };
    Kind kind = Kind::Syntax;
    // The index of the refused token; the input's size for its end.
    std::size_t position = 0;
    // The refused token: a table token, kEndOfInput, or an unknown id.
    TokenId token = kEndOfInput;
    // Syntax: where the walk stopped, as graph index and node number.
    // TooDeep: the graph that could not be entered, and node 1.
    int graph = 0;
    int node = 1;
    // Syntax: every token the parser would have accepted instead, in the
    // order the walk met them (it may have left final nodes and passed
    // optional graphs with this lookahead before stopping), and whether the
    // end of input would have been.
    std::vector<TokenId> expected;
    bool endExpected = false;
};

// "unexpected \"num\" in graph \"MAIN\" at node #2; expected \"*\", \"+\" or
// end of input". tokenText, when given, names the refused token instead of
// the table (for one the table does not know). Position is left to the
// caller, who knows how the input was read.
std::string DescribeError(const ParseTable& table, const ParseError& error,
                          std::string_view tokenText = {});

class Parser {
public:
    static constexpr std::size_t kDefaultMaxDepth = std::size_t{1} << 20;

    // The table must outlive the parser. A parser keeps its stack between
    // calls, so parsing many inputs with one allocates nothing after the
    // deepest; it is not to be shared between threads (a table is).
    explicit Parser(const ParseTable& table, std::size_t maxDepth = kDefaultMaxDepth);

    // Nothing when the tokens form a sentence of MAIN; else why not.
    std::optional<ParseError> Parse(std::span<const TokenId> tokens) {
        return Run(tokens, nullptr, nullptr);
    }
    // The same, calling onAction(const Action&) for every action on the way,
    // in order. Actions before a syntax error have been reported.
    template <class OnAction>
    std::optional<ParseError> Parse(std::span<const TokenId> tokens, OnAction&& onAction) {
        using F = std::remove_reference_t<OnAction>;
        return Run(
            tokens, [](void* f, const Action& a) { (*static_cast<F*>(f))(a); },
            const_cast<void*>(static_cast<const void*>(&onAction)));
    }

private:
    using Sink = void (*)(void*, const Action&);
    std::optional<ParseError> Run(std::span<const TokenId> tokens, Sink sink, void* context);
    // kQuiet: direct rows without actions, which allow fewer steps.
    template <bool kDirect, bool kQuiet = false>
    std::optional<ParseError> Walk(std::span<const TokenId> tokens, Sink sink, void* context);
    ParseError SyntaxError(std::uint32_t node, std::size_t depth, std::size_t position,
                           TokenId token) const;
    ParseError TooDeep(std::uint32_t start, std::size_t position, TokenId token) const;
    // Makes room for more return entries and points the walk's copies of
    // the stack at it; false when the stack is at maxDepth.
    bool Grow(std::uint32_t*& stack, std::size_t& capacity);

    // The table's data, shared with it: the walk reads its rows directly.
    const internal::TableData& m_table;
    std::size_t m_maxDepth;
    // Return points of the graphs entered, innermost last.
    std::vector<std::uint32_t> m_stack;
};

}  // namespace lumo
