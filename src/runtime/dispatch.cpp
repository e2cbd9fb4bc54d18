// The dispatch rows the parser walks: for each node, the cell of every
// token, or hashed cells where direct rows would take too much memory.

#include <algorithm>

#include "runtime/internal/table_builder.h"

namespace lumo::internal {

void TableBuilder::BuildDispatch(std::size_t maxDirectCells) {
    const std::size_t stride = m_t.tokens.size() + 1;
    m_t.direct = m_t.nodes.size() <= maxDirectCells / stride;
    m_t.stride = static_cast<std::uint32_t>(m_t.direct ? stride : 1);
    if (m_t.direct && m_t.nodes.size() * stride > Cell::kMaxOperand) {
        m_t.direct = false;  // states would not fit in a cell's operand
    }

    for (TableGraph& graph : m_t.graphs) {
        graph.start = m_t.StateOf(graph.firstNode);
    }
    for (TableEdge& edge : m_t.edges) {
        edge.targetState = m_t.StateOf(edge.target);
        if (edge.graph != kNone) {
            edge.startState = m_t.graphs[edge.graph].start;
        }
    }
    auto tokenCell = [&](std::uint32_t e) {
        const TableEdge& edge = m_t.edges[e];
        return Cell::Make(edge.action == kNone ? kConsume : kConsumeAction, edge.targetState, e);
    };

    m_t.defaults.resize(m_t.nodes.size());
    for (std::uint32_t i = 0; i < m_t.nodes.size(); ++i) {
        const TableNode& node = m_t.nodes[i];
        if (node.final) {
            m_t.defaults[i] = Cell::Make(kReturn, 0, 0);
        } else if (node.graphEdge != kNone && m_t.Optional(m_t.edges[node.graphEdge].graph)) {
            m_t.defaults[i] = Cell::Make(kPass, node.graphEdge, 0);
        } else {
            m_t.defaults[i] = Cell::Make(kReject, 0, 0);
        }
    }

    if (!m_t.direct) {
        for (std::uint32_t i = 0; i < m_t.nodes.size(); ++i) {
            const TableNode& node = m_t.nodes[i];
            for (std::uint32_t e = node.edgeBegin; e < node.edgeEnd; ++e) {
                if (m_t.edges[e].graph == kNone) {
                    m_t.tokenCells.emplace(TableData::Key(i, m_t.edges[e].token), tokenCell(e));
                }
            }
        }
        return;
    }

    m_t.cells.resize(m_t.nodes.size() * stride);
    for (std::uint32_t i = 0; i < m_t.nodes.size(); ++i) {
        const TableNode& node = m_t.nodes[i];
        Cell* row = m_t.cells.data() + std::size_t{i} * stride;
        std::fill(row, row + stride, m_t.defaults[i]);
        if (node.graphEdge != kNone) {
            const Cell enter = m_t.EnterCell(node.graphEdge);
            for (const TokenId t : m_t.FirstTokens(m_t.edges[node.graphEdge].graph)) {
                row[t] = enter;
            }
        }
        for (std::uint32_t e = node.edgeBegin; e < node.edgeEnd; ++e) {
            if (m_t.edges[e].graph == kNone) {
                row[m_t.edges[e].token] = tokenCell(e);
            }
        }
    }

    // Every row is known now, so each entering cell can see what node 1 of
    // the entered graph does with the same token.
    m_t.quietCells = m_t.cells;
    for (std::size_t k = 0; k < m_t.quietCells.size(); ++k) {
        Cell& quiet = m_t.quietCells[k];
        switch (quiet.Kind()) {
            case kConsumeAction:
                quiet = Cell::Make(kConsume, quiet.Operand(), quiet.aux);
                break;
            case kEnter: {
                const std::uint32_t back = m_t.ReturnState(quiet.aux) << 1;
                const TokenId token = static_cast<TokenId>(k % stride);
                const Cell first = m_t.cells[quiet.Operand() + token];
                quiet = first.Kind() == kConsume || first.Kind() == kConsumeAction
                            ? Cell::Make(kEnterConsume, first.Operand(), back)
                            : Cell::Make(kEnter, quiet.Operand(), back);
                break;
            }
            default:
                break;
        }
    }
}

Cell TableData::HashedCell(std::uint32_t node, TokenId token) const {
    const auto found = tokenCells.find(Key(node, token));
    if (found != tokenCells.end()) {
        return found->second;
    }
    const std::uint32_t e = nodes[node].graphEdge;
    if (e != kNone && StartsWith(edges[e].graph, token)) {
        return EnterCell(e);
    }
    return defaults[node];
}

}  // namespace lumo::internal
