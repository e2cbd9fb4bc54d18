// Fuzz target for the document loader: whatever the bytes, loading either
// refuses them cleanly or yields a document that saves, reloads, draws and
// edits without touching freed nodes. Every violated property aborts, so libFuzzer
// (or the replay runner) stops at the first fault with its input.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/archive.h"
#include "framework/svg_surface.h"
#include "generate/parse_exception.h"
#include "lm_layout.h"
#include "model/flat_grammar.h"
#include "model/grammar.h"

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_load: %s\n", what);
        std::abort();
    }
}

bool Load(CGrammer& doc, const char* data, std::size_t size) {
    CArchive ar(data, size);
    doc.DeleteContents();
    try {
        doc.Serialize(ar);
    } catch (const CArchiveException&) {
        Check(doc.GetGraphCount() == 0 && doc.GetCurrentGraph() == nullptr,
              "a refused load left graphs behind");
        return false;
    }
    return true;
}

bool Load(CGrammer& doc, const std::string& data) {
    return Load(doc, data.data(), data.size());
}

std::string Save(CGrammer& doc, int mode = 0) {
    std::string out;
    doc.SetMode(mode);
    CArchive ar(&out);
    doc.Serialize(ar);
    doc.SetMode(0);
    return out;
}

// The graph's own slots are the only nodes its edges and its picked node may
// point at; anything else is a node of another graph or a freed one. Each
// node's count must equal the edge ends at it, or a node with edges could be
// deleted from under them.
void CheckGraph(const CGraph& graph) {
    Check(graph.GetNodeCount() >= 1, "a graph without nodes");
    Check(graph.GetElement(0)->GetNumber() == 1, "slot 0 does not hold node 1");
    std::unordered_map<const CGraphNode*, int64_t> ends;
    std::unordered_map<int, int> numbers;
    for (int i = 0; i < graph.GetNodeCount(); ++i) {
        const CGraphElement* element = graph.GetElement(i);
        Check(ends.emplace(element, 0).second, "a node in two slots");
        Check(numbers.emplace(element->GetNumber(), i).second, "a repeated node number");
        Check(element->GetNumber() >= 1 && element->GetNumber() <= graph.GetLastNumber(),
              "a node number outside 1..last number");
    }
    for (int i = 0; i < graph.GetNodeCount(); ++i) {
        const CGraphElement* element = graph.GetElement(i);
        for (int j = 0; j < element->GetEdgeCount(); ++j) {
            const CEdge* edge = element->GetEdge(j);
            Check(edge->GetFrom() == element, "an edge that does not leave its own slot");
            const auto to = ends.find(edge->GetTo());
            Check(to != ends.end(), "an edge to a node outside its graph");
            ++to->second;
            ++ends[element];
        }
    }
    for (int i = 0; i < graph.GetNodeCount(); ++i) {
        const CGraphElement* element = graph.GetElement(i);
        Check(element->GetRefCount() == ends[element], "a reference count off the edge ends");
    }
    Check(graph.GetSelected() == nullptr || ends.contains(graph.GetSelected()),
          "the picked node is not a node of the graph");
}

void CheckDocument(const CGrammer& doc) {
    Check(doc.GetGraphCount() >= 1, "a document without graphs");
    bool currentFound = false;
    for (int i = 0; i < doc.GetGraphCount(); ++i) {
        const CGraph* graph = doc.GetGraph(i);
        Check(doc.GetGraphName(i) == graph->GetName(), "a graph name out of step");
        currentFound = currentFound || graph == doc.GetCurrentGraph();
        CheckGraph(*graph);
    }
    Check(currentFound, "the current graph is not one of the document's");
}

// Validation keeps state on the graphs (first-token sets, visited flags), so
// it is run twice and must not depend on an earlier run.
void CheckValidation(CGrammer& doc) {
    std::string results[2];
    for (std::string& result : results) {
        try {
            doc.Validate();
        } catch (const CParseException& e) {
            result = e.GetMessage();
            Check(!result.empty(), "a validation failure without a message");
        }
    }
    Check(results[0] == results[1], "validating twice gives different results");
}

void CheckOutputModes(CGrammer& doc, const lm_layout::Document& layout, const std::string& saved) {
    Check(Save(doc, 1) == lm_layout::Write(layout, 1), "the binary table is not the graphs read");
    const std::string text = Save(doc, 2);
    const std::string header = "Textual Parse Table";
    Check(text.compare(0, header.size(), header) == 0, "the textual table lacks its header");
    const std::string count = "The Number of Graphs: " + std::to_string(doc.GetGraphCount());
    Check(text.find(count) != std::string::npos, "the textual table miscounts the graphs");
    Check(Save(doc) == saved, "a table mode was left behind in the document");
}

// FindNode, checked against exact arithmetic: the node picked must hold the
// point. Wrapped squares in the hit test once picked far-away nodes.
CGraphNode* Pick(CGrammer& doc, CPoint pt) {
    CGraphNode* node = doc.FindNode(pt);
    if (node != nullptr) {
        const int64_t dx = int64_t{pt.x} - node->GetCenter().x;
        const int64_t dy = int64_t{pt.y} - node->GetCenter().y;
        const int64_t r = CGraphNode::kRadius;
        Check(dx >= -r && dx <= r && dy >= -r && dy <= r && dx * dx + dy * dy <= r * r,
              "picked a node whose circle does not hold the point");
    }
    return node;
}

// A point on the edge's label, where the editor's delete command would aim.
CPoint LabelPoint(CEdge& edge) {
    if (edge.GetLabelRect().IsRectEmpty()) {
        // Never drawn: give it a label so it can be picked at all.
        edge.SetLabelRect(CRect{0, 0, 1, 1});
    }
    return CPoint{edge.GetLabelRect().left, edge.GetLabelRect().top};
}

int CountEdges(const CGraph& graph) {
    int count = 0;
    for (int i = 0; i < graph.GetNodeCount(); ++i) {
        count += graph.GetElement(i)->GetEdgeCount();
    }
    return count;
}

CEdge* FirstEdge(const CGraph& graph) {
    for (int i = 0; i < graph.GetNodeCount(); ++i) {
        if (graph.GetElement(i)->GetEdgeCount() > 0) {
            return graph.GetElement(i)->GetEdge(0);
        }
    }
    return nullptr;
}

// Empties the current graph the way a user would: every edge by its label,
// then every node by its centre. Whatever a point hits first goes, so with
// overlapping labels and nodes the order differs from the slots, which is
// the point: the counts must stay right whatever goes first.
void DismantleCurrentGraph(CGrammer& doc) {
    const CGraph& graph = *doc.GetCurrentGraph();
    while (CEdge* edge = FirstEdge(graph)) {
        const int before = CountEdges(graph);
        Check(doc.DeleteEdge(LabelPoint(*edge)), "no edge deleted at a label");
        Check(CountEdges(graph) == before - 1, "deleting at a label removed other than one edge");
        CheckGraph(graph);
    }
    for (int i = 0; i < graph.GetNodeCount(); ++i) {
        Check(graph.GetElement(i)->GetRefCount() == 0, "a count left on a node without edges");
    }
    std::vector<CPoint> centres;
    for (int i = 0; i < graph.GetNodeCount(); ++i) {
        centres.push_back(graph.GetElement(i)->GetCenter());
    }
    for (const CPoint& pt : centres) {
        const int before = graph.GetNodeCount();
        const CGraphNode* hit = Pick(doc, pt);
        const bool deletable = hit != nullptr && hit->GetNumber() != 1;
        Check(doc.DeleteNode(pt) == deletable, "deleting at a centre missed the node picked there");
        Check(graph.GetNodeCount() == before - (deletable ? 1 : 0), "a wrong number of nodes went");
        CheckGraph(graph);
    }
}

// Edits that mix new objects into loaded ones: a loaded edge relabelled as a
// graph edge naming a graph that may not exist yet (which appends a graph
// while the current one is held by pointer), a loaded node toggled and moved,
// and a new node. No new edges: each would stay in the program-wide bend
// registry for the rest of the run, so to libFuzzer every input would look
// like a leak, costing a full leak scan each time until it gives up checking
// leaks at all.
void EditCurrentGraph(CGrammer& doc) {
    const CGraph& graph = *doc.GetCurrentGraph();
    const CPoint last = graph.GetElement(graph.GetNodeCount() - 1)->GetCenter();
    const int graphs = doc.GetGraphCount();
    const bool named = doc.FindGraph("FUZZ") != -1;
    CEdge* loaded = FirstEdge(graph);
    doc.AddEdge(loaded != nullptr ? LabelPoint(*loaded) : last, "FUZZ", "@fuzz", true, true);
    Check(doc.FindGraph("FUZZ") != -1 && doc.GetGraphCount() == graphs + (named ? 0 : 1),
          "a graph edge appended other than the graph it named");
    Check(loaded == nullptr || FirstEdge(graph)->IsGraph(), "relabelling missed the edge");
    // The node picked at a point is the one toggled and the one moved.
    CGraphNode* picked = Pick(doc, last);
    Check(picked != nullptr, "no node at a node's centre");
    const bool final = picked->IsFinal();
    Check(doc.ToggleNodeFinal(last) && picked->IsFinal() != final, "toggling missed the node");
    const CPoint moved{last.x == INT32_MAX ? last.x - 1 : last.x + 1, last.y};
    Pick(doc, last);
    doc.MoveSelectedNode(moved);
    Check(picked->GetCenter() == moved && graph.GetSelected() == nullptr,
          "moving missed the picked node");
    const int lastNumber = graph.GetLastNumber();
    CGraphElement* added = doc.AddNode(last);
    Check((added != nullptr) == (lastNumber < INT32_MAX), "adding a node failed");
    Check(added == nullptr || added->GetNumber() == lastNumber + 1, "a new node reused a number");
    CheckDocument(doc);
}

// The edited document must still be one the loader takes back unchanged.
void CheckSavesAndReloads(CGrammer& doc) {
    const std::string saved = Save(doc);
    CGrammer reloaded;
    Check(Load(reloaded, saved), "an edited document does not load");
    Check(Save(reloaded) == saved, "an edited document changes on reloading");
}

// Drawing works every label out again from the loaded geometry: centres,
// bends and all, which a file may set to anything (far coordinates, NaN or
// infinite bends). Whatever it computes must still save and load.
void CheckDrawing(const std::string& saved) {
    CGrammer doc;
    Check(Load(doc, saved), "a saved document does not load");
    for (int i = 0; i < doc.GetGraphCount(); ++i) {
        CSvgSurface svg;
        doc.GetGraph(i)->Draw(&svg);
        Check(svg.Document(doc.GetGraphName(i)).find("</svg>") != std::string::npos,
              "a drawing without its end");
    }
    CheckDocument(doc);
    CheckSavesAndReloads(doc);
}

template <class Grammar>
std::string ValidationResult(Grammar& grammar) {
    try {
        grammar.Validate();
    } catch (const CParseException& e) {
        return e.GetMessage();
    }
    return "valid";
}

// lumo-gen reads documents into a flat grammar of its own: it must refuse
// what the document refuses and, for the rest, find the same first violation
// and write the same tables.
void CheckFlatGrammar(const char* data, std::size_t size, CGrammer* loaded) {
    CFlatGrammar flat;
    try {
        flat.Load(std::string(data, size));
    } catch (const CArchiveException&) {
        Check(loaded == nullptr, "lumo-gen's reading refused a document that loads");
        Check(flat.GetGraphCount() == 0, "a refused flat load kept graphs");
        return;
    }
    Check(loaded != nullptr, "lumo-gen's reading accepted a document that is refused");
    Check(ValidationResult(flat) == ValidationResult(*loaded),
          "lumo-gen's validation disagrees with the document's");
    for (int mode : {1, 2}) {
        std::string table;
        CArchive ar(&table);
        flat.WriteTable(ar, mode);
        Check(table == Save(*loaded, mode), "lumo-gen's tables differ from the document's");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::optional<lm_layout::Document> layout = lm_layout::ReadLayout(data, size);
    const bool wellFormed = layout && lm_layout::FollowsModel(*layout);

    CGrammer doc;
    const bool loaded = Load(doc, reinterpret_cast<const char*>(data), size);
    CheckFlatGrammar(reinterpret_cast<const char*>(data), size, loaded ? &doc : nullptr);
    if (!loaded) {
        Check(!wellFormed, "the loader refused a well-formed document");
        return 0;
    }
    Check(wellFormed, "the loader accepted a malformed document");
    CheckDocument(doc);
    Check(doc.GetCurrentGraph() == doc.GetGraph(0), "a loaded document does not start on MAIN");

    const std::string saved = Save(doc);
    Check(saved == lm_layout::Write(*layout, 0), "saving does not give back what was read");
    {
        CGrammer reloaded;
        Check(Load(reloaded, saved), "a saved document does not load");
        Check(Save(reloaded) == saved, "a saved document changes on reloading");
    }
    CheckOutputModes(doc, *layout, saved);
    CheckDrawing(saved);

    CheckValidation(doc);
    EditCurrentGraph(doc);
    CheckSavesAndReloads(doc);
    CheckValidation(doc);
    // Only the first few graphs: enough to reach graphs loaded, appended and
    // edited without letting a many-graph input take long.
    const int graphs = std::min(doc.GetGraphCount(), 4);
    for (int i = 0; i < graphs; ++i) {
        Check(doc.SelectGraph(i), "a graph of the document cannot be selected");
        DismantleCurrentGraph(doc);
        CheckSavesAndReloads(doc);
    }
    CheckValidation(doc);
    CheckDocument(doc);
    return 0;
}
