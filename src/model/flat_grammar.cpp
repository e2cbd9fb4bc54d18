#include "model/flat_grammar.h"

#include <string>
#include <utility>

#include "framework/archive.h"
#include "model/document_format.h"
#include "model/graph_links.h"
#include "model/table_format.h"

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

// The records and checks of CGrammer's loader, in a single pass over the
// bytes; what the editor keeps and tables leave out (positions, bends,
// label rectangles) is dropped.
void CFlatGrammar::Read() {
    using namespace document_format;
    CArchive ar(m_bytes.data(), m_bytes.size());
    // Where each graph's record starts, to say where a graph that breaks
    // the model was read.
    std::vector<std::size_t> graphStarts;
    try {
        const int32_t nGraphs = ReadGraphCount(ar);
        for (int32_t g = 0; g < nGraphs; ++g) {
            graphStarts.push_back(ar.Offset());
            m_graphs.push_back(Graph(ReadGraph(ar), m_nodes.size()));
            for (int32_t i = 0; i < m_graphs.back().m_nNodes; ++i) {
                const NodeRecord node = ReadNode(ar);
                m_nodes.push_back(Node(node, ReadNodeEdgeCounts(ar), m_edges.size()));
                for (int32_t j = 0; j < m_nodes.back().m_nEdges; ++j) {
                    m_edges.push_back(Edge(ReadEdge(ar)));
                }
            }
        }
        ReadEnd(ar);
    } catch (const CArchiveException& e) {
        throw CArchiveException("byte " + std::to_string(ar.Offset()) + ": " + e.what());
    }
    // The arrays are complete and will not move again.
    for (Node& node : m_nodes) {
        node.m_pEdges = m_edges.data() + node.m_nFirstEdge;
    }
    struct Links {
        const Graph& graph;
        int32_t NodeCount() const { return graph.m_nNodes; }
        int32_t Number(int32_t i) const { return graph.m_pNodes[i].m_nNumber; }
        int32_t RefCount(int32_t i) const { return graph.m_pNodes[i].m_nRefCount; }
        int32_t EdgeCount(int32_t i) const { return graph.m_pNodes[i].m_nEdges; }
        int32_t Target(int32_t i, int32_t j) const { return graph.m_pNodes[i].m_pEdges[j].m_nTo; }
    };
    graph_links::SlotIndex slots;
    std::vector<int32_t> targets;
    for (std::size_t g = 0; g < m_graphs.size(); ++g) {
        Graph& graph = m_graphs[g];
        graph.m_pNodes = m_nodes.data() + graph.m_nFirstNode;
        try {
            graph_links::Check(Links{graph}, graph.m_nLastNumber, slots, targets);
        } catch (const CArchiveException& e) {
            throw CArchiveException("byte " + std::to_string(graphStarts[g]) + ": graph \"" +
                                    std::string(graph.m_name) + "\": " + e.what());
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
