#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "framework/geometry.h"

class CArchive;

// The records of a grammar document (".lm"), read and written in one place:
// by the model's Serialize and by the flat grammar lumo-gen reads, so that
// both take and give the same bytes. The parse tables, which share the
// nesting but not the fields, are table_format's.
//
// A file is a graph count and that many graphs; a graph its header and its
// nodes in slot order; a node its number and place, then its edge counts,
// then its output edges in list order. Readers refuse, with
// CArchiveException, what no document can hold; strings are views into the
// bytes being loaded.
namespace document_format {

// The smallest number of bytes each record can take. A reader checks every
// count against these before anything is allocated for it, so a short file
// can never ask for a large allocation.
//
// Type, target, two empty strings, offset and label rectangle.
inline constexpr std::size_t kMinEdgeRecord = 1 + 4 + 1 + 1 + 4 + 16;
// Signed number, x, y, edge count and reference count.
inline constexpr std::size_t kMinNodeRecord = 5 * 4;
// A name of at least one length byte, node and last-number counts, and one
// node record.
inline constexpr std::size_t kMinGraphRecord = 1 + 4 + 4 + kMinNodeRecord;

struct GraphRecord {
    std::string_view name;
    int32_t nodes = 0;       // at least 1
    int32_t lastNumber = 0;  // the highest number ever given in the graph
};

// The node part of a node record.
struct NodeRecord {
    int32_t number = 0;  // at least 1; stored negated for a final node
    bool final = false;
    CPoint center;
};

// The rest of a node record, before its edges.
struct NodeEdgeCounts {
    int32_t edges = 0;     // output edges that follow
    int32_t refCount = 0;  // edge ends attached to the node
};

struct EdgeRecord {
    bool graph = false;  // any byte but 0 reads as a Graph edge
    int32_t target = 0;  // the target's number, in the same graph
    std::string_view input;
    std::string_view action;
    float offset = 0.0f;  // the bend
    CRect label;          // stored bottom, left, top, right
};

// Refuses a count below 1.
int32_t ReadGraphCount(CArchive& ar);
void WriteGraphCount(CArchive& ar, int32_t graphs);
GraphRecord ReadGraph(CArchive& ar);
void WriteGraph(CArchive& ar, const GraphRecord& graph);
// Refuses the numbers 0 and INT32_MIN, which carry no node.
NodeRecord ReadNode(CArchive& ar);
void WriteNode(CArchive& ar, const NodeRecord& node);
NodeEdgeCounts ReadNodeEdgeCounts(CArchive& ar);
void WriteNodeEdgeCounts(CArchive& ar, const NodeEdgeCounts& counts);
EdgeRecord ReadEdge(CArchive& ar);
void WriteEdge(CArchive& ar, const EdgeRecord& edge);
// Refuses bytes after the last graph.
void ReadEnd(const CArchive& ar);

}  // namespace document_format
