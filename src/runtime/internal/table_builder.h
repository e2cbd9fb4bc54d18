#pragma once

// Builds a loaded table from a table file's bytes in stages, each relying on
// the checks of the ones before. Internal to the runtime: not installed.
//   table_reading.cpp  Read, Resolve: the records, then names and numbers
//                      resolved to indexes
//   table_rules.cpp    CheckNodes, CheckLeftRecursion, ComputeFirstTokens,
//                      CheckFirstTokenConflicts: what validation would have
//                      enforced, and what makes the walk terminate
//   dispatch.cpp       BuildDispatch: the rows the parser walks

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/internal/table_data.h"

namespace lumo::internal {

class TableBuilder {
public:
    explicit TableBuilder(TableData& t) : m_t(t) {}

    void Read(std::string_view bytes);
    void Resolve();
    void CheckNodes();
    void CheckLeftRecursion();
    void ComputeFirstTokens();
    void CheckFirstTokenConflicts();
    void BuildDispatch(std::size_t maxDirectCells);

private:
    // What the file says of an edge that resolving turns into indexes.
    struct RawEdge {
        bool graph = false;
        std::int32_t target = 0;
        std::string_view input;
    };

    std::string GraphName(std::uint32_t g) const { return Quoted(m_t.graphs[g].name); }
    std::string NodeName(std::uint32_t node) const {
        const TableNode& n = m_t.nodes[node];
        return "node #" + std::to_string(n.number) + " of graph " + GraphName(n.graph);
    }
    // The Graph edge of a node, or kNone; known once CheckNodes() has run.
    std::uint32_t GraphEdge(std::uint32_t node) const { return m_t.nodes[node].graphEdge; }
    // The node reached by passing node's Graph edge empty, or kNone.
    std::uint32_t PassEmpty(std::uint32_t node) const {
        const std::uint32_t e = GraphEdge(node);
        return e != kNone && m_t.Optional(m_t.edges[e].graph) ? m_t.edges[e].target : kNone;
    }

    TableData& m_t;
    std::vector<RawEdge> m_raw;  // parallel to m_t.edges until CheckNodes
    std::vector<std::size_t> m_graphOffset;
};

}  // namespace lumo::internal
