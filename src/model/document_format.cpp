#include "model/document_format.h"

#include <climits>

#include "framework/archive.h"

namespace document_format {

int32_t ReadGraphCount(CArchive& ar) {
    const int32_t graphs = ar.ReadCount(kMinGraphRecord);
    if (graphs < 1) {
        BadFormat("no graphs");
    }
    return graphs;
}

void WriteGraphCount(CArchive& ar, int32_t graphs) {
    ar.WriteInt(graphs);
}

GraphRecord ReadGraph(CArchive& ar) {
    GraphRecord graph;
    graph.name = ar.ReadStringView();
    graph.nodes = ar.ReadCount(kMinNodeRecord);
    if (graph.nodes < 1) {
        BadFormat("graph without nodes");
    }
    graph.lastNumber = ar.ReadInt();
    return graph;
}

void WriteGraph(CArchive& ar, const GraphRecord& graph) {
    ar.WriteString(graph.name);
    ar.WriteInt(graph.nodes);
    ar.WriteInt(graph.lastNumber);
}

NodeRecord ReadNode(CArchive& ar) {
    const int32_t v = ar.ReadInt();
    const int32_t x = ar.ReadInt();
    const int32_t y = ar.ReadInt();
    if (v == 0 || v == INT32_MIN) {
        BadFormat("invalid node number");
    }
    return NodeRecord{v < 0 ? -v : v, v < 0, CPoint{x, y}};
}

void WriteNode(CArchive& ar, const NodeRecord& node) {
    ar.WriteInt(node.final ? -node.number : node.number);
    ar.WriteInt(node.center.x);
    ar.WriteInt(node.center.y);
}

NodeEdgeCounts ReadNodeEdgeCounts(CArchive& ar) {
    NodeEdgeCounts counts;
    counts.edges = ar.ReadCount(kMinEdgeRecord);
    counts.refCount = ar.ReadInt();
    return counts;
}

void WriteNodeEdgeCounts(CArchive& ar, const NodeEdgeCounts& counts) {
    ar.WriteInt(counts.edges);
    ar.WriteInt(counts.refCount);
}

EdgeRecord ReadEdge(CArchive& ar) {
    EdgeRecord edge;
    edge.graph = ar.ReadByte() != 0;
    edge.target = ar.ReadInt();
    edge.input = ar.ReadStringView();
    edge.action = ar.ReadStringView();
    edge.offset = ar.ReadFloat();
    edge.label.bottom = ar.ReadInt();
    edge.label.left = ar.ReadInt();
    edge.label.top = ar.ReadInt();
    edge.label.right = ar.ReadInt();
    return edge;
}

void WriteEdge(CArchive& ar, const EdgeRecord& edge) {
    ar.WriteByte(edge.graph ? 1 : 0);
    ar.WriteInt(edge.target);
    ar.WriteString(edge.input);
    ar.WriteString(edge.action);
    ar.WriteFloat(edge.offset);
    ar.WriteInt(edge.label.bottom);
    ar.WriteInt(edge.label.left);
    ar.WriteInt(edge.label.top);
    ar.WriteInt(edge.label.right);
}

void ReadEnd(const CArchive& ar) {
    if (ar.Remaining() != 0) {
        BadFormat("data after the last graph");
    }
}

}  // namespace document_format
