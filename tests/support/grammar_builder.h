#pragma once

// Grammars built through the document's editing operations, as the editor does.

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <initializer_list>
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

inline CPoint Middle(const CRect& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
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

// Adds `count` nodes; node k sits at (100 + 200 (k - 1), 100).
inline void AddNodes(CGrammer& doc, int count) {
    for (int k = 0; k < count; ++k) {
        doc.AddNode(CPoint{100 + 200 * doc.GetCurrentGraph()->GetLastNumber(), 100});
    }
}

inline void MakeFinal(CGrammer& doc, int number) {
    doc.ToggleNodeFinal(CentreOf(doc, number));
}

// One edge for Build, its ends by number.
struct Arc {
    int from, to;
    std::string input, action = "";
    bool graph = false;
};
inline Arc GraphArc(int from, int to, const std::string& name, const std::string& action = "") {
    return Arc{from, to, name, action, true};
}

// Builds the current graph in one call (or, with a name, that graph, which an
// edge must have created; MAIN is current after): nodes up to the highest
// number named, placed as AddNodes places them, the edges, the final nodes.
inline void Build(CGrammer& doc, std::initializer_list<Arc> arcs,
                  std::initializer_list<int> finals = {}) {
    int highest = finals.size() == 0 ? 0 : std::max(finals);
    for (const Arc& a : arcs) {
        highest = std::max({highest, a.from, a.to});
    }
    AddNodes(doc, highest - doc.GetCurrentGraph()->GetLastNumber());
    for (const Arc& a : arcs) {
        AddEdge(doc, a.from, a.to, a.input, a.action, a.graph);
    }
    for (const int f : finals) {
        MakeFinal(doc, f);
    }
}
inline void Build(CGrammer& doc, const std::string& graph, std::initializer_list<Arc> arcs,
                  std::initializer_list<int> finals = {}) {
    doc.SelectGraph(doc.FindGraph(graph));
    Build(doc, arcs, finals);
    doc.SelectGraph(0);
}

// The grammar whose tables are the reference: MAIN: 1 -a/@push-> 2 -E-> 3
// (final); E: 1 -b-> 2 (final).
inline void BuildWorkedExample(CGrammer& doc) {
    Build(doc, {{1, 2, "a", "@push"}, GraphArc(2, 3, "E")}, {3});
    Build(doc, "E", {{1, 2, "b"}}, {2});
}

inline std::string Store(CGrammer& doc) {
    std::string out;
    CArchive ar(&out);
    doc.Serialize(ar);
    return out;
}

// Loads bytes as opening a file does, but lets CArchiveException through.
inline void Load(CGrammer& doc, const std::string& bytes) {
    doc.DeleteContents();
    CArchive ar(bytes.data(), bytes.size());
    doc.Serialize(ar);
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::string& path, const std::string& data) {
    std::ofstream(path, std::ios::binary) << data;
}

// Little-endian pieces of a document, for hand-made files.
inline std::string I32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    return {char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF), char(u >> 24)};
}
inline std::string Str(const std::string& text) {
    return char(text.size()) + text;
}

}  // namespace lumo_test
