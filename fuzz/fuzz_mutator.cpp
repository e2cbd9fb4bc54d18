// A structure-aware mutator for libFuzzer. Byte-level mutations of a document
// almost never survive the loader: one new edge needs an edge count and two
// reference counts to change with it. So most mutations here edit the
// document as graphs, nodes and edges and write it back with consistent
// counts; the rest are libFuzzer's own byte mutations, which keep the
// loader's refusals covered.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "lm_layout.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

using lm_layout::Document;
using lm_layout::Edge;
using lm_layout::Graph;
using lm_layout::Node;

// The node's number; 0, which no node may have, for the one stored value
// that has no positive counterpart.
int32_t Number(const Node& node) {
    const int32_t v = node.signedNumber;
    return v == INT32_MIN ? 0 : v < 0 ? -v : v;
}

class Mutator {
public:
    explicit Mutator(unsigned int seed) : m_rng(seed) {}

    // One structural edit. Some edits break the model on purpose; Repair
    // undoes that unless the caller wants a malformed document.
    void MutateOnce(Document& doc) {
        if (doc.graphs.empty()) {
            AddGraph(doc);
            return;
        }
        Graph& graph = doc.graphs[Below(doc.graphs.size())];
        switch (Below(12)) {
            case 0:
            case 1:
                AddEdge(doc, graph);
                break;
            case 2:
                RemoveEdge(graph);
                break;
            case 3:
                AddNode(graph);
                break;
            case 4:
                RemoveNode(graph);
                break;
            case 5:
                AddGraph(doc);
                break;
            case 6:
                RemoveOrReorderGraph(doc);
                break;
            case 7:
                ChangeEdge(doc, graph);
                break;
            case 8:
                ChangeNode(graph);
                break;
            case 9:
                ChangeLabel(graph);
                break;
            case 10:
                graph.lastNumber = OneIn(2) || graph.lastNumber > INT32_MAX - 3
                                       ? INT32_MAX
                                       : graph.lastNumber + static_cast<int32_t>(Below(4));
                break;
            default:
                Renumber(graph);
                break;
        }
    }

    // Makes the document one the loader must accept: node 1 first, distinct
    // numbers within the last number, edges to existing nodes, and every
    // reference count equal to the edge ends at its node.
    void Repair(Document& doc) {
        if (doc.graphs.empty()) {
            AddGraph(doc);
        }
        for (Graph& graph : doc.graphs) {
            RepairGraph(graph);
        }
    }

    bool OneIn(unsigned n) { return Below(n) == 0; }

private:
    std::size_t Below(std::size_t n) { return n == 0 ? 0 : m_rng() % n; }

    std::string Text(const Document& doc) {
        switch (Below(8)) {
            case 0:
                return "";
            case 1:  // past the one-byte length prefix
                return std::string(255 + Below(300), static_cast<char>('a' + Below(26)));
            case 2:
            case 3:  // a graph's name, so graph edges lead somewhere
                return doc.graphs.empty() ? "MAIN" : doc.graphs[Below(doc.graphs.size())].name;
            case 4: {  // an existing input, so outputs repeat
                const Graph& graph = doc.graphs[Below(doc.graphs.size())];
                if (graph.nodes.empty()) {
                    return "a";
                }
                const Node& node = graph.nodes[Below(graph.nodes.size())];
                return node.edges.empty() ? "a" : node.edges[Below(node.edges.size())].input;
            }
            default: {
                std::string text(1 + Below(3), 'a');
                for (char& c : text) {
                    c = static_cast<char>(OneIn(4) ? 'A' + Below(26) : 'a' + Below(4));
                }
                return text;
            }
        }
    }

    int32_t Coordinate() {
        switch (Below(6)) {
            case 0:
                return INT32_MIN;
            case 1:
                return INT32_MAX;
            default:
                return static_cast<int32_t>(Below(600));
        }
    }

    // A point near an existing node more often than not, so that nodes and
    // labels overlap and picking by point has to choose.
    std::pair<int32_t, int32_t> Point(const Graph& graph) {
        if (graph.nodes.empty() || OneIn(3)) {
            return {Coordinate(), Coordinate()};
        }
        const Node& node = graph.nodes[Below(graph.nodes.size())];
        const auto jitter = [this](int32_t v) {
            const int64_t moved = int64_t{v} + static_cast<int64_t>(Below(21)) - 10;
            return static_cast<int32_t>(std::clamp<int64_t>(moved, INT32_MIN, INT32_MAX));
        };
        return {jitter(node.x), jitter(node.y)};
    }

    void SetLabel(const Graph& graph, Edge& edge) {
        if (OneIn(4)) {
            edge.left = edge.top = edge.right = edge.bottom = 0;  // never drawn
            return;
        }
        const auto [x, y] = Point(graph);
        const int32_t w = static_cast<int32_t>(1 + Below(40));
        const int32_t h = static_cast<int32_t>(1 + Below(20));
        edge.left = x;
        edge.top = y;
        edge.right = x > INT32_MAX - w ? INT32_MAX : x + w;
        edge.bottom = y > INT32_MAX - h ? INT32_MAX : y + h;
    }

    void AddEdge(const Document& doc, Graph& graph) {
        if (graph.nodes.empty()) {
            return;
        }
        Node& from = graph.nodes[Below(graph.nodes.size())];
        Edge edge;
        edge.type = OneIn(3) ? 1 : 0;
        edge.target = Number(graph.nodes[Below(graph.nodes.size())]);
        edge.input = Text(doc);
        edge.action = OneIn(2) ? "" : "@" + Text(doc);
        const float offsets[] = {0.0f, 1.0f, -1.0f, 2.0f, -2.0f, 0.5f};
        float offset = offsets[Below(std::size(offsets))];
        std::memcpy(&edge.offsetBits, &offset, sizeof offset);
        SetLabel(graph, edge);
        from.edges.push_back(std::move(edge));
    }

    void RemoveEdge(Graph& graph) {
        if (graph.nodes.empty()) {
            return;
        }
        Node& node = graph.nodes[Below(graph.nodes.size())];
        if (!node.edges.empty()) {
            node.edges.erase(node.edges.begin() +
                             static_cast<std::ptrdiff_t>(Below(node.edges.size())));
        }
    }

    void AddNode(Graph& graph) {
        Node node;
        const int32_t gap = static_cast<int32_t>(OneIn(2) ? 1 : 1 + Below(5));
        const int32_t number =
            graph.lastNumber > INT32_MAX - gap ? INT32_MAX : graph.lastNumber + gap;
        node.signedNumber = OneIn(3) ? -number : number;
        std::tie(node.x, node.y) = Point(graph);
        graph.nodes.push_back(std::move(node));
    }

    void RemoveNode(Graph& graph) {
        if (graph.nodes.size() < 2) {
            return;
        }
        const auto at = 1 + Below(graph.nodes.size() - 1);
        const int32_t number = Number(graph.nodes[at]);
        graph.nodes.erase(graph.nodes.begin() + static_cast<std::ptrdiff_t>(at));
        for (Node& node : graph.nodes) {
            std::erase_if(node.edges, [number](const Edge& e) { return e.target == number; });
        }
    }

    void AddGraph(Document& doc) {
        Graph graph;
        graph.name = doc.graphs.empty() ? "MAIN" : Text(doc);
        Node start;
        start.signedNumber = OneIn(2) ? -1 : 1;
        start.x = start.y = 100;
        graph.nodes.push_back(std::move(start));
        doc.graphs.push_back(std::move(graph));
    }

    void RemoveOrReorderGraph(Document& doc) {
        if (doc.graphs.size() < 2) {
            return;
        }
        const auto at = static_cast<std::ptrdiff_t>(Below(doc.graphs.size()));
        if (OneIn(2)) {
            doc.graphs.erase(doc.graphs.begin() + at);
        } else {
            std::swap(doc.graphs.front(), doc.graphs[static_cast<std::size_t>(at)]);
        }
    }

    Edge* AnyEdge(Graph& graph) {
        if (graph.nodes.empty()) {
            return nullptr;
        }
        Node& node = graph.nodes[Below(graph.nodes.size())];
        return node.edges.empty() ? nullptr : &node.edges[Below(node.edges.size())];
    }

    void ChangeEdge(const Document& doc, Graph& graph) {
        if (Edge* edge = AnyEdge(graph)) {
            switch (Below(3)) {
                case 0:
                    edge->type = edge->type != 0 ? 0 : static_cast<uint8_t>(1 + Below(255));
                    break;
                case 1:
                    edge->input = Text(doc);
                    break;
                default:
                    edge->action = Text(doc);
                    break;
            }
        }
    }

    void ChangeNode(Graph& graph) {
        if (graph.nodes.empty()) {
            return;
        }
        Node& node = graph.nodes[Below(graph.nodes.size())];
        if (OneIn(2)) {
            node.signedNumber = node.signedNumber == INT32_MIN ? 1 : -node.signedNumber;
        } else {
            std::tie(node.x, node.y) = Point(graph);
        }
    }

    void ChangeLabel(Graph& graph) {
        if (Edge* edge = AnyEdge(graph)) {
            SetLabel(graph, *edge);
        }
    }

    // Moves a node other than node 1 to a fresh number, with the edges that
    // end at it, or reorders two such nodes: slot order and numbering are
    // independent in a document that has seen deletions.
    void Renumber(Graph& graph) {
        if (graph.nodes.size() < 2) {
            return;
        }
        const auto a = 1 + Below(graph.nodes.size() - 1);
        const auto b = 1 + Below(graph.nodes.size() - 1);
        if (OneIn(2)) {
            std::swap(graph.nodes[a], graph.nodes[b]);
            return;
        }
        Node& node = graph.nodes[a];
        const int32_t old = Number(node);
        if (graph.lastNumber == INT32_MAX) {
            return;
        }
        const int32_t fresh = ++graph.lastNumber;
        node.signedNumber = node.signedNumber < 0 ? -fresh : fresh;
        for (Node& other : graph.nodes) {
            for (Edge& edge : other.edges) {
                if (edge.target == old) {
                    edge.target = fresh;
                }
            }
        }
    }

    void RepairGraph(Graph& graph) {
        if (graph.nodes.empty()) {
            graph.nodes.emplace_back();
        }
        // Node 1 to the front, or the front node becomes node 1.
        for (std::size_t i = 0; i < graph.nodes.size(); ++i) {
            if (Number(graph.nodes[i]) == 1) {
                std::swap(graph.nodes[0], graph.nodes[i]);
                break;
            }
        }
        graph.nodes[0].signedNumber = graph.nodes[0].signedNumber < 0 ? -1 : 1;
        std::unordered_set<int32_t> seen;
        std::erase_if(graph.nodes, [&seen](const Node& node) {
            const int32_t v = node.signedNumber;
            return v == 0 || v == INT32_MIN || !seen.insert(v < 0 ? -v : v).second;
        });
        std::vector<int32_t> numbers;
        for (const Node& node : graph.nodes) {
            numbers.push_back(Number(node));
            graph.lastNumber = std::max(graph.lastNumber, Number(node));
        }
        std::unordered_map<int32_t, int32_t> ends;
        for (Node& node : graph.nodes) {
            for (Edge& edge : node.edges) {
                if (!seen.contains(edge.target)) {
                    edge.target = numbers[Below(numbers.size())];
                }
                ++ends[edge.target];
                ++ends[Number(node)];
            }
        }
        for (Node& node : graph.nodes) {
            node.refCount = ends[Number(node)];
        }
    }

    std::minstd_rand m_rng;
};

}  // namespace

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize,
                                          unsigned int seed) {
    Mutator mutator(seed);
    std::optional<Document> doc = lm_layout::ReadLayout(data, size);
    if (!doc || mutator.OneIn(4)) {
        return LLVMFuzzerMutate(data, size, maxSize);
    }
    // Mostly single edits, which keep the corpus minimal; a few bigger jumps.
    const int edits = mutator.OneIn(2) ? 1 : mutator.OneIn(2) ? 2 : 5;
    for (int i = 0; i < edits; ++i) {
        mutator.MutateOnce(*doc);
    }
    // Now and then a document the loader must refuse, one step from a good one.
    if (!mutator.OneIn(10)) {
        mutator.Repair(*doc);
    }
    const std::string out = lm_layout::Write(*doc, 0);
    if (out.size() > maxSize) {
        return LLVMFuzzerMutate(data, size, maxSize);
    }
    std::memcpy(data, out.data(), out.size());
    return out.size();
}
