#include "runtime/parser.h"

#include <algorithm>
#include <unordered_set>

#include "runtime/internal/table_data.h"

namespace lumo {

Parser::Parser(const ParseTable& table, std::size_t maxDepth)
    : m_table(*table.m_data), m_maxDepth(maxDepth), m_stack(std::min<std::size_t>(maxDepth, 64)) {}

bool Parser::Grow(std::uint32_t*& stack, std::size_t& capacity) {
    if (m_stack.size() >= m_maxDepth) {
        return false;
    }
    m_stack.resize(std::min(m_maxDepth, std::max<std::size_t>(m_stack.size() * 2, 64)));
    stack = m_stack.data();
    capacity = m_stack.size();
    return true;
}

std::optional<ParseError> Parser::Run(std::span<const TokenId> tokens, Sink sink, void* context) {
    if (!m_table.direct) {
        return Walk<false>(tokens, sink, context);
    }
    return sink == nullptr ? Walk<true, true>(tokens, sink, context)
                           : Walk<true>(tokens, sink, context);
}

template <bool kDirect, bool kQuiet>
std::optional<ParseError> Parser::Walk(std::span<const TokenId> tokens, Sink sink, void* context) {
    using namespace internal;
    const TableData& table = m_table;
    const TableEdge* const edges = table.edges.data();
    // Locals, so that stores to the stack cannot make the compiler reload
    // them on every step.
    const Cell* const cells = kQuiet ? table.quietCells.data() : table.cells.data();
    const TokenId other = table.stride - 1;
    const TokenId* const input = tokens.data();
    const std::size_t size = tokens.size();
    // Known at compile time without actions, so that the quiet walk carries
    // none of their code.
    const bool reporting = !kQuiet && sink != nullptr;
    std::size_t i = 0;
    std::uint32_t state = table.graphs[0].start;
    std::uint32_t* stack = m_stack.data();
    std::size_t capacity = m_stack.size();
    std::size_t depth = 0;
    // Where the walk stood after the last token it consumed: a syntax error
    // retraces the way from there to list what would have been accepted.
    std::uint32_t markState = state;
    std::size_t markDepth = 0;

    for (;;) {
        const TokenId token = i < size ? input[i] : kEndOfInput;
        const Cell c = kDirect ? cells[state + (token < other ? token : other)]
                               : table.HashedCell(state, token);
        const std::uint32_t operand = c.Operand();
        switch (c.Kind()) {
            case kEnterConsume:
                // Only in quiet rows, so it passes straight on to kConsume.
                if (depth == capacity && !Grow(stack, capacity)) {
                    return TooDeep(operand, i, token);
                }
                stack[depth++] = c.aux;
                [[fallthrough]];
            case kConsumeAction:
                if (reporting) {
                    sink(context, Action{table.actions[edges[c.aux].action], i, token, -1});
                }
                [[fallthrough]];
            case kConsume:
                state = operand;
                ++i;
                markState = state;
                markDepth = depth;
                break;
            case kEnter:
                if (depth == capacity && !Grow(stack, capacity)) {
                    return TooDeep(operand, i, token);
                }
                stack[depth++] = c.aux;
                state = operand;
                break;
            case kPass: {
                const TableEdge& edge = edges[operand];
                if (reporting && edge.action != kNone) {
                    sink(context, Action{table.actions[edge.action], i, kUnknownToken,
                                         static_cast<int>(edge.graph)});
                }
                state = edge.targetState;
                break;
            }
            case kReturn: {
                if (depth == 0) {
                    if (i == size) {
                        return std::nullopt;
                    }
                    return SyntaxError(markState, markDepth, i, token);
                }
                const std::uint32_t back = stack[--depth];
                if (kQuiet || (back & 1) == 0) {
                    state = back >> 1;
                    break;
                }
                const TableEdge& edge = edges[back >> 1];
                if (reporting) {
                    sink(context, Action{table.actions[edge.action], i, kUnknownToken,
                                         static_cast<int>(edge.graph)});
                }
                state = edge.targetState;
                break;
            }
            default:
                return SyntaxError(markState, markDepth, i, token);
        }
    }
}

ParseError Parser::TooDeep(std::uint32_t start, std::size_t position, TokenId token) const {
    ParseError error;
    error.kind = ParseError::Kind::TooDeep;
    error.position = position;
    error.token = token;
    error.graph = static_cast<int>(m_table.nodes[m_table.NodeOf(start)].graph);
    return error;
}

// Retraces, without actions, the steps taken with the refused token: leaving
// final nodes and passing optional graphs. Each node on the way could have
// accepted its own tokens instead. The stack entries popped on the way are
// still in place, since nothing was entered after the last token consumed.
ParseError Parser::SyntaxError(std::uint32_t state, std::size_t depth, std::size_t position,
                               TokenId token) const {
    using namespace internal;
    ParseError error;
    error.position = position;
    error.token = token;
    std::unordered_set<TokenId> seen;
    auto expect = [&](TokenId t) {
        if (seen.insert(t).second) {
            error.expected.push_back(t);
        }
    };
    for (;;) {
        const TableNode& n = m_table.nodes[m_table.NodeOf(state)];
        for (std::uint32_t e = n.edgeBegin; e < n.edgeEnd; ++e) {
            const TableEdge& edge = m_table.edges[e];
            if (edge.graph == kNone) {
                expect(edge.token);
            } else {
                for (const TokenId t : m_table.FirstTokens(edge.graph)) {
                    expect(t);
                }
            }
        }
        error.graph = static_cast<int>(n.graph);
        error.node = n.number;
        const Cell cell = m_table.CellOf(state, token);
        if (cell.Kind() == kPass) {
            state = m_table.edges[cell.Operand()].targetState;
        } else if (cell.Kind() == kReturn && depth > 0) {
            state = m_table.ReturnState(m_stack[--depth]);
        } else {
            error.endExpected = cell.Kind() == kReturn;
            return error;
        }
    }
}

std::string DescribeError(const ParseTable& table, const ParseError& error,
                          std::string_view tokenText) {
    std::string token = table.DescribeToken(error.token);
    if (!tokenText.empty() && error.token != kEndOfInput) {
        token = internal::Quoted(tokenText);
    } else if (error.token != kEndOfInput && error.token >= table.TokenCount()) {
        token = "token, unknown to the grammar,";
    }
    const std::string where = "graph \"" + table.GraphName(error.graph) + "\"";
    if (error.kind == ParseError::Kind::TooDeep) {
        return "input nested too deeply: entering " + where + " at " + token +
               " would pass the depth limit";
    }
    std::string text = "unexpected " + token + " in " + where + " at node #" +
                       std::to_string(error.node) + "; expected ";
    // A list that long reads worse than its start.
    constexpr std::size_t kShown = 24;
    std::vector<std::string> names;
    for (std::size_t k = 0; k < error.expected.size() && k < kShown; ++k) {
        names.push_back(table.DescribeToken(error.expected[k]));
    }
    if (error.expected.size() > kShown) {
        names.push_back(std::to_string(error.expected.size() - kShown) + " more");
    }
    if (error.endExpected) {
        names.push_back("end of input");
    }
    if (names.empty()) {
        return text + "nothing: no edge leaves it";
    }
    for (std::size_t k = 0; k < names.size(); ++k) {
        if (k > 0) {
            text += k + 1 == names.size() ? " or " : ", ";
        }
        text += names[k];
    }
    return text;
}

}  // namespace lumo
