#pragma once

// Builds grammars through the document's editing operations, the way the
// editor does: pick a source node, then add the edge at the target point.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "framework/archive.h"
#include "model/grammar.h"

namespace lumo_test {

// The centre of node `number` in the current graph, or (-1000, -1000).
inline CPoint CentreOf(const CGrammer& doc, int number) {
    const CGraph* graph = doc.GetCurrentGraph();
    for (int i = 0; i < graph->GetNodeCount(); ++i) {
        if (graph->GetElement(i)->GetNumber() == number) {
            return graph->GetElement(i)->GetCenter();
        }
    }
    return CPoint{-1000, -1000};
}

// Adds an edge between two nodes of the current graph, given by number.
inline void AddEdge(CGrammer& doc, int from, int to, const std::string& input,
                    const std::string& action = "", bool graph = false) {
    doc.FindNode(CentreOf(doc, from));
    doc.AddEdge(CentreOf(doc, to), input, action, graph, false);
}

inline void AddGraphEdge(CGrammer& doc, int from, int to, const std::string& name) {
    AddEdge(doc, from, to, name, "", true);
}

// Adds nodes 2..n at (100 + 200 * (k - 1), 100), so node k sits at x = 100 + 200 (k - 1).
inline void AddNodes(CGrammer& doc, int count) {
    const CGraph* graph = doc.GetCurrentGraph();
    for (int k = 0; k < count; ++k) {
        const int next = graph->GetLastNumber() + 1;
        doc.AddNode(CPoint{100 + 200 * (next - 1), 100});
    }
}

inline void MakeFinal(CGrammer& doc, int number) {
    doc.ToggleNodeFinal(CentreOf(doc, number));
}

// The grammar whose tables are the reference: MAIN: 1 -a/@push-> 2 -E-> 3
// (final); E: 1 -b-> 2 (final).
inline void BuildWorkedExample(CGrammer& doc) {
    AddNodes(doc, 2);
    AddEdge(doc, 1, 2, "a", "@push");
    AddGraphEdge(doc, 2, 3, "E");
    MakeFinal(doc, 3);
    doc.SelectGraph(1);
    AddNodes(doc, 1);
    AddEdge(doc, 1, 2, "b");
    MakeFinal(doc, 2);
    doc.SelectGraph(0);
}

inline std::string Store(CGrammer& doc) {
    std::string out;
    CArchive ar(&out);
    doc.Serialize(ar);
    return out;
}

// Loads bytes the way opening a file does, but lets CArchiveException through.
inline void Load(CGrammer& doc, const std::string& bytes) {
    doc.DeleteContents();
    CArchive ar(bytes.data(), bytes.size());
    doc.Serialize(ar);
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

// Little-endian pieces of a document, for hand-made files.
inline std::string I32(int32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) {
        s[static_cast<size_t>(i)] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
    }
    return s;
}
inline std::string Str(const std::string& text) {
    return std::string(1, static_cast<char>(text.size())) + text;
}

}  // namespace lumo_test
