#include "runtime/parser.h"

#include <algorithm>
#include <unordered_set>

namespace lumo {

Parser::Parser(const ParseTable& table, std::size_t maxDepth)
    : m_table(table), m_maxDepth(maxDepth), m_stack(std::min<std::size_t>(maxDepth, 64)) {}

bool Parser::Grow() {
    if (m_stack.size() >= m_maxDepth) {
        return false;
    }
    m_stack.resize(std::min(m_maxDepth, std::max<std::size_t>(m_stack.size() * 2, 64)));
    return true;
}

std::optional<ParseError> Parser::Run(std::span<const TokenId> tokens, Sink sink, void* context) {
    if (!m_table.m_direct) {
        return Walk<false>(tokens, sink, context);
    }
    return sink == nullptr ? Walk<true, true>(tokens, sink, context)
                           : Walk<true>(tokens, sink, context);
}

template <bool kDirect, bool kQuiet>
std::optional<ParseError> Parser::Walk(std::span<const TokenId> tokens, Sink sink, void* context) {
    using T = ParseTable;
    const T& table = m_table;
    const T::Edge* const edges = table.m_edges.data();
    // Locals, so that stores to the stack cannot make the compiler reload
    // them on every step.
    const T::Cell* const cells = kQuiet ? table.m_quietCells.data() : table.m_cells.data();
    const TokenId other = table.m_stride - 1;
    const TokenId* const input = tokens.data();
    const std::size_t size = tokens.size();
    // Known at compile time without actions, so that the quiet walk carries
    // none of their code.
    const bool reporting = !kQuiet && sink != nullptr;
    std::size_t i = 0;
    std::uint32_t state = table.m_graphs[0].start;
    std::uint32_t* stack = m_stack.data();
    std::size_t capacity = m_stack.size();
    std::size_t depth = 0;
    // Where the walk stood after the last token it consumed: a syntax error
    // retraces the way from there to list what would have been accepted.
    std::uint32_t markState = state;
    std::size_t markDepth = 0;

    for (;;) {
        const TokenId token = i < size ? input[i] : kEndOfInput;
        const T::Cell c = kDirect ? cells[state + (token < other ? token : other)]
                                  : table.HashedCell(state, token);
        const std::uint32_t operand = c.code >> T::kKindBits;
        switch (c.code & T::kKindMask) {
            case T::kConsumeAction:
                if (reporting) {
                    sink(context, Action{table.m_actions[edges[c.aux].action], i, token, -1});
                }
                [[fallthrough]];
            case T::kConsume:
                state = operand;
                ++i;
                markState = state;
                markDepth = depth;
                break;
            case T::kEnterConsume:
                if (depth == capacity) {
                    if (!Grow()) {
                        return TooDeep(operand, i, token);
                    }
                    stack = m_stack.data();
                    capacity = m_stack.size();
                }
                stack[depth++] = c.aux;
                state = operand;
                ++i;
                markState = state;
                markDepth = depth;
                break;
            case T::kEnter:
                if (depth == capacity) {
                    if (!Grow()) {
                        return TooDeep(operand, i, token);
                    }
                    stack = m_stack.data();
                    capacity = m_stack.size();
                }
                stack[depth++] = c.aux;
                state = operand;
                break;
            case T::kPass: {
                const T::Edge& edge = edges[operand];
                if (reporting && edge.action != T::kNone) {
                    sink(context, Action{table.m_actions[edge.action], i, kUnknownToken,
                                         static_cast<int>(edge.graph)});
                }
                state = edge.targetState;
                break;
            }
            case T::kReturn: {
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
                const T::Edge& edge = edges[back >> 1];
                if (reporting) {
                    sink(context, Action{table.m_actions[edge.action], i, kUnknownToken,
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
    error.graph = static_cast<int>(m_table.m_nodes[m_table.NodeOf(start)].graph);
    return error;
}

// Retraces, without actions, the steps taken with the refused token: leaving
// final nodes and passing optional graphs. Each node on the way could have
// accepted its own tokens instead. The stack entries popped on the way are
// still in place, since nothing was entered after the last token consumed.
ParseError Parser::SyntaxError(std::uint32_t state, std::size_t depth, std::size_t position,
                               TokenId token) const {
    using T = ParseTable;
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
        const T::Node& n = m_table.m_nodes[m_table.NodeOf(state)];
        for (std::uint32_t e = n.edgeBegin; e < n.edgeEnd; ++e) {
            const T::Edge& edge = m_table.m_edges[e];
            if (edge.graph == T::kNone) {
                expect(edge.token);
            } else {
                for (const TokenId t : m_table.FirstTokens(static_cast<int>(edge.graph))) {
                    expect(t);
                }
            }
        }
        error.graph = static_cast<int>(n.graph);
        error.node = n.number;
        const std::uint32_t code = m_table.CellOf(state, token).code;
        const std::uint32_t kind = code & T::kKindMask;
        if (kind == T::kPass) {
            state = m_table.m_edges[code >> T::kKindBits].targetState;
        } else if (kind == T::kReturn && depth > 0) {
            const std::uint32_t back = m_stack[--depth];
            state = (back & 1) == 0 ? back >> 1 : m_table.m_edges[back >> 1].targetState;
        } else {
            error.endExpected = kind == T::kReturn;
            return error;
        }
    }
}

std::string DescribeError(const ParseTable& table, const ParseError& error,
                          std::string_view tokenText) {
    std::string token = table.DescribeToken(error.token);
    if (!tokenText.empty() && error.token != kEndOfInput) {
        token = "\"" + std::string(tokenText) + "\"";
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
