#include "synthetic_grammar.h"

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "model/grammar.h"

namespace lumo_bench {

namespace {

// Bumped whenever BuildLargeGrammar would produce different bytes.
constexpr int kGeneratorVersion = 1;

// Nodes sit on a grid 40 units apart, more than a diameter, so a node's
// centre hits that node alone.
constexpr int kColumns = 20;
constexpr int kSpacing = 40;

CPoint Centre(int number) {
    const int k = number - 1;
    return CPoint{100 + kSpacing * (k % kColumns), 100 + kSpacing * (k / kColumns)};
}

// Fills up to length with a fixed pattern; the distinct part stays in front,
// where hashing and comparison meet it first.
std::string Padded(std::string text, int length, char fill) {
    for (int i = 0; static_cast<int>(text.size()) < length; ++i) {
        text += static_cast<char>(fill + i % 26);
    }
    return text;
}

std::string Number(int n, int width) {
    std::string digits = std::to_string(n);
    if (static_cast<int>(digits.size()) < width) {
        digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
    }
    return digits;
}

// Concatenates in place: GCC 12 warns falsely (-Wrestrict) about
// "literal" + std::string temporaries.
std::string Join(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) {
        text += part;
    }
    return text;
}

void Expect(bool condition, const char* what) {
    if (!condition) {
        throw std::runtime_error(std::string("synthetic grammar: ") + what);
    }
}

void AddEdgeBetween(CGrammer& doc, CPoint from, CPoint to, const std::string& input,
                    const std::string& action, bool bGraph) {
    Expect(doc.FindNode(from) != nullptr, "source node not found");
    doc.AddEdge(to, input, action, bGraph, false);
}

}  // namespace

std::string LargeGrammarFileName(const LargeGrammarShape& shape) {
    return Join({"lumo-bench-v", std::to_string(kGeneratorVersion), "-",
                 std::to_string(shape.graphs), "x", std::to_string(shape.nodesPerGraph), "-",
                 std::to_string(shape.inputLength), "-", std::to_string(shape.actionLength),
                 ".lm"});
}

void BuildLargeGrammar(CGrammer& doc, const LargeGrammarShape& shape) {
    const int nGraphs = shape.graphs;
    const int nNodes = shape.nodesPerGraph;
    Expect(nGraphs >= 1 && nNodes >= 4, "too small a shape");
    Expect(doc.GetGraphCount() == 1 && doc.GetGraph(0)->GetNodeCount() == 1,
           "the document is not new");

    std::vector<std::string> names(static_cast<size_t>(nGraphs));
    names[0] = "MAIN";
    for (int g = 1; g < nGraphs; ++g) {
        names[static_cast<size_t>(g)] =
            Padded(Join({"Graph_", Number(g, 4), "_"}), shape.inputLength, 'a');
    }
    auto token = [&](int g, int node, int k) {
        return Padded(Join({"t", Number(g, 4), "_", Number(node, 5), "_", std::to_string(k), "_"}),
                      shape.inputLength, 'A');
    };
    auto action = [&](int g, int node, int k) {
        return Padded(Join({"{ emit(", std::to_string(g), ", ", std::to_string(node), ", ",
                            std::to_string(k), "); } // "}),
                      shape.actionLength, 'a');
    };
    // Edge k of a node goes k + 1 nodes further on, round the graph.
    auto target = [&](int node, int k) { return Centre((node - 1 + k + 1) % nNodes + 1); };

    // Graphs come into being when a Graph edge first names them, so the chain
    // through node 1 creates them in index order before any other edge
    // refers to them.
    for (int g = 0; g < nGraphs; ++g) {
        Expect(doc.SelectGraph(g), "graph missing");
        for (int n = 2; n <= nNodes; ++n) {
            Expect(doc.AddNode(Centre(n)) != nullptr, "node not added");
        }
        if (g + 1 < nGraphs) {
            AddEdgeBetween(doc, Centre(1), target(1, 2), names[static_cast<size_t>(g) + 1],
                           action(g, 1, 2), true);
            Expect(doc.GetGraphCount() == g + 2, "the Graph edge did not append a graph");
        }
    }

    for (int g = 0; g < nGraphs; ++g) {
        doc.SelectGraph(g);
        for (int n = 1; n <= nNodes; ++n) {
            for (int k = 0; k < 3; ++k) {
                if (n == 1 && k == 2 && g + 1 < nGraphs) {
                    continue;  // the chain edge, added above
                }
                // Never from a final node, which must not enter a graph.
                const bool bGraph = k == 2 && n != 1 && n != nNodes && n % 7 == 3;
                const std::string input =
                    bGraph ? names[static_cast<size_t>((g + n) % nGraphs)] : token(g, n, k);
                AddEdgeBetween(doc, Centre(n), target(n, k), input, action(g, n, k), bGraph);
            }
        }
        Expect(doc.ToggleNodeFinal(Centre(nNodes)), "final node not found");
    }
    Expect(doc.GetGraphCount() == nGraphs, "a Graph edge appended an unexpected graph");
    doc.SelectGraph(0);
}

void BuildWideNode(CGrammer& doc, int nTokens) {
    doc.AddNode(Centre(2));
    doc.AddNode(Centre(3));
    AddEdgeBetween(doc, Centre(1), Centre(2), "start", "", false);
    for (int i = 0; i < nTokens; ++i) {
        AddEdgeBetween(doc, Centre(2), Centre(3), Join({"tok", std::to_string(i)}), "", false);
    }
    doc.ToggleNodeFinal(Centre(3));
}

void BuildLargeFirstSet(CGrammer& doc, int nTokens, bool bMainEntersT) {
    doc.AddNode(Centre(2));
    doc.AddNode(Centre(3));
    if (bMainEntersT) {
        AddEdgeBetween(doc, Centre(1), Centre(2), "T", "", true);
    } else {
        AddEdgeBetween(doc, Centre(1), Centre(2), "start", "", false);
    }
    AddEdgeBetween(doc, Centre(2), Centre(3), "T", "", true);
    for (int i = 0; i < 3; ++i) {
        AddEdgeBetween(doc, Centre(2), Centre(3), Join({"x", std::to_string(i)}), "", false);
    }
    doc.ToggleNodeFinal(Centre(3));

    Expect(doc.SelectGraph(doc.FindGraph("T")), "graph T missing");
    doc.AddNode(Centre(2));
    for (int i = 0; i < nTokens; ++i) {
        AddEdgeBetween(doc, Centre(1), Centre(2), Join({"first", std::to_string(i)}), "", false);
    }
    doc.ToggleNodeFinal(Centre(2));
    doc.SelectGraph(0);
}

}  // namespace lumo_bench
