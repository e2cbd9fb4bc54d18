#pragma once

#include <string_view>

class CArchive;

// The records of the two parse tables: output mode 1, the binary table, and
// mode 2, the same as text. The model's objects write them when the document
// is in a table mode, and the flat grammar writes them directly, so both
// make the same bytes.
namespace table_format {

void WriteHeader(CArchive& ar, int nMode, int nGraphs);
void WriteGraph(CArchive& ar, int nMode, std::string_view name, int nNodes);
void WriteGraphEnd(CArchive& ar, int nMode);
// A node is its number, then its edge count, then its edges.
void WriteNode(CArchive& ar, int nMode, int nNumber, bool bFinal);
void WriteEdgeCount(CArchive& ar, int nMode, int nEdges);
void WriteEdge(CArchive& ar, int nMode, bool bGraph, std::string_view input, int nTarget,
               std::string_view action);

}  // namespace table_format
