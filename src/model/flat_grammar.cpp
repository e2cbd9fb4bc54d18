#include "model/flat_grammar.h"

#include <algorithm>
#include <climits>
#include <unordered_map>
#include <utility>

#include "framework/archive.h"
#include "model/document_format.h"
#include "model/table_format.h"

namespace {

[[noreturn]] void BadFormat(const char* what) {
    throw CArchiveException(CArchiveException::badFormat, what);
}

}  // namespace

// Node number to slot, for one graph at a time. Numbers have gaps only where
// nodes were deleted, so they mostly fit a table indexed by number, which
// is kept from graph to graph; far-apart numbers go to a hash map instead.
class CFlatGrammar::SlotIndex {
public:
    // Numbers run from 1 to lastNumber.
    void Start(int32_t lastNumber, int32_t nNodes) {
        for (const int32_t number : m_used) {
            m_table[static_cast<std::size_t>(number)] = -1;
        }
        m_used.clear();
        m_map.clear();
        m_dense = lastNumber <= 4 * int64_t{nNodes} + 1024;
        // A file may give any last number, a negative one included; such a
        // graph is refused at its first node, but must get that far.
        const auto size = static_cast<std::size_t>(std::max(lastNumber, 0)) + 1;
        if (m_dense && m_table.size() < size) {
            m_table.resize(size, -1);
        }
    }
    // False when the number is already taken. Needs 1 <= number <= lastNumber.
    bool Add(int32_t number, int32_t slot) {
        if (!m_dense) {
            return m_map.emplace(number, slot).second;
        }
        int32_t& entry = m_table[static_cast<std::size_t>(number)];
        if (entry >= 0) {
            return false;
        }
        entry = slot;
        m_used.push_back(number);
        return true;
    }
    // The slot of a number, or -1.
    int32_t Find(int32_t number) const {
        if (!m_dense) {
            const auto found = m_map.find(number);
            return found != m_map.end() ? found->second : -1;
        }
        if (number < 1 || static_cast<std::size_t>(number) >= m_table.size()) {
            return -1;
        }
        return m_table[static_cast<std::size_t>(number)];
    }

private:
    bool m_dense = true;
    std::vector<int32_t> m_table;
    std::vector<int32_t> m_used;
    std::unordered_map<int32_t, int32_t> m_map;
};

void CFlatGrammar::Clear() {
    m_graphs.clear();
    m_nodes.clear();
    m_edges.clear();
    m_bytes.clear();
}

void CFlatGrammar::Load(std::string bytes) {
    Clear();
    m_bytes = std::move(bytes);
    try {
        Read();
    } catch (...) {
        Clear();
        throw;
    }
}

// The fields and checks of CGrammer's loader, in a single pass over the
// bytes; what the editor keeps and tables leave out (positions, bends,
// label rectangles) is read past.
void CFlatGrammar::Read() {
    using namespace document_format;
    CArchive ar(m_bytes.data(), m_bytes.size());
    const int32_t nGraphs = ar.ReadCount(kMinGraphRecord);
    if (nGraphs < 1) {
        BadFormat("no graphs");
    }
    for (int32_t g = 0; g < nGraphs; ++g) {
        Graph& graph = m_graphs.emplace_back();
        graph.m_name = ar.ReadStringView();
        graph.m_nNodes = ar.ReadCount(kMinNodeRecord);
        if (graph.m_nNodes < 1) {
            BadFormat("graph without nodes");
        }
        graph.m_nLastNumber = ar.ReadInt();
        graph.m_nFirstNode = m_nodes.size();
        for (int32_t i = 0; i < graph.m_nNodes; ++i) {
            Node& node = m_nodes.emplace_back();
            const int32_t v = ar.ReadInt();
            ar.ReadInt();  // x
            ar.ReadInt();  // y
            if (v == 0 || v == INT32_MIN) {
                BadFormat("invalid node number");
            }
            node.m_bFinal = v < 0;
            node.m_nNumber = v < 0 ? -v : v;
            node.m_nEdges = ar.ReadCount(kMinEdgeRecord);
            node.m_nRefCount = ar.ReadInt();
            node.m_nFirstEdge = m_edges.size();
            for (int32_t j = 0; j < node.m_nEdges; ++j) {
                Edge& edge = m_edges.emplace_back();
                edge.m_bGraph = ar.ReadByte() != 0;
                edge.m_nTo = ar.ReadInt();
                edge.m_input = ar.ReadStringView();
                edge.m_action = ar.ReadStringView();
                ar.ReadFloat();  // bend
                for (int k = 0; k < 4; ++k) {
                    ar.ReadInt();  // label rectangle
                }
            }
        }
    }
    if (ar.Remaining() != 0) {
        BadFormat("data after the last graph");
    }
    // The arrays are complete and will not move again.
    for (Node& node : m_nodes) {
        node.m_pEdges = m_edges.data() + node.m_nFirstEdge;
    }
    SlotIndex slots;
    for (Graph& graph : m_graphs) {
        graph.m_pNodes = m_nodes.data() + graph.m_nFirstNode;
        CheckGraph(graph, slots);
    }
}

// What CGraph checks when it joins a loaded graph's edges to its nodes.
void CFlatGrammar::CheckGraph(const Graph& graph, SlotIndex& slots) {
    if (graph.m_pNodes[0].m_nNumber != 1) {
        BadFormat("first node is not node 1");
    }
    slots.Start(graph.m_nLastNumber, graph.m_nNodes);
    for (int32_t i = 0; i < graph.m_nNodes; ++i) {
        const int32_t number = graph.m_pNodes[i].m_nNumber;
        if (number > graph.m_nLastNumber) {
            BadFormat("node number above the last number given");
        }
        if (!slots.Add(number, i)) {
            BadFormat("repeated node number");
        }
    }
    std::vector<int64_t> ends(static_cast<std::size_t>(graph.m_nNodes), 0);
    for (int32_t i = 0; i < graph.m_nNodes; ++i) {
        const Node& node = graph.m_pNodes[i];
        for (int32_t j = 0; j < node.m_nEdges; ++j) {
            const int32_t to = slots.Find(node.m_pEdges[j].m_nTo);
            if (to < 0) {
                BadFormat("edge to a missing node");
            }
            ++ends[static_cast<std::size_t>(i)];
            ++ends[static_cast<std::size_t>(to)];
        }
    }
    for (int32_t i = 0; i < graph.m_nNodes; ++i) {
        if (graph.m_pNodes[i].m_nRefCount != ends[static_cast<std::size_t>(i)]) {
            BadFormat("reference count does not match the edges");
        }
    }
}

void CFlatGrammar::WriteTable(CArchive& ar, int nMode) const {
    table_format::WriteHeader(ar, nMode, GetGraphCount());
    for (const Graph& graph : m_graphs) {
        table_format::WriteGraph(ar, nMode, graph.m_name, graph.m_nNodes);
        for (int32_t i = 0; i < graph.m_nNodes; ++i) {
            const Node& node = graph.m_pNodes[i];
            table_format::WriteNode(ar, nMode, node.m_nNumber, node.m_bFinal);
            table_format::WriteEdgeCount(ar, nMode, node.m_nEdges);
            for (int32_t j = 0; j < node.m_nEdges; ++j) {
                const Edge& edge = node.m_pEdges[j];
                table_format::WriteEdge(ar, nMode, edge.m_bGraph, edge.m_input, edge.m_nTo,
                                        edge.m_action);
            }
        }
        table_format::WriteGraphEnd(ar, nMode);
    }
}
