// The four checks a grammar must pass before a parse table is written. Each
// check covers all graphs before the next begins, and the first violation
// ends validation. The checks report what pairwise scans in document, slot
// and edge order would report, but use hash sets so that a node with many
// outputs, or a large first-token set, costs linear time.

#include <string>
#include <unordered_map>

#include "generate/parse_exception.h"
#include "model/grammar.h"

namespace {

std::string Quoted(const std::string& name) {
    return "\"" + name + "\"";
}

}  // namespace

void CGrammer::Validate() {
    CheckFinalNodes();
    CheckFinalGraphOutputs();
    CheckGraphOutputCount();
    CheckAmbiguity();
}

void CGrammer::CheckFinalNodes() {
    for (const auto& graph : m_pGraphs) {
        if (!graph->HasFinalNode()) {
            throw CParseException("Graph '" + graph->GetName() + "' doesn't have final node!");
        }
    }
}

void CGrammer::CheckFinalGraphOutputs() {
    for (const auto& graph : m_pGraphs) {
        int n = 0;
        if (graph->FindFinalWithGraphOutput(n)) {
            throw CParseException("Node #" + std::to_string(n) + " of graph " + graph->GetName() +
                                  " has graph output!");
        }
    }
}

void CGrammer::CheckGraphOutputCount() {
    for (const auto& graph : m_pGraphs) {
        int n = 0;
        if (graph->FindMultipleGraphOutputs(n)) {
            throw CParseException("Node #" + std::to_string(n) + " of graph " + graph->GetName() +
                                  " has more than one graph output!");
        }
    }
}

void CGrammer::CheckAmbiguity() {
    // Phase A: node 1 of every graph, whose tokens start its first-token set.
    for (const auto& graph : m_pGraphs) {
        if (!graph->InitFirstTokens()) {
            throw CParseException("Node #1 of graph " + Quoted(graph->GetName()) +
                                  " has identical outputs!");
        }
    }

    // Phase B: each graph's first-token set takes in that of the graph its
    // node 1 enters.
    const GraphIndex graphIndex = IndexGraphNames();
    for (int i = 0; i < GetGraphCount(); ++i) {
        if (!m_pGraphs[static_cast<size_t>(i)]->IsVisited()) {
            CollectFirstTokens(i, graphIndex);
        }
    }

    // Phase C: every other node.
    for (const auto& graph : m_pGraphs) {
        for (int i = 1; i < graph->GetNodeCount(); ++i) {
            const int number = graph->GetElement(i)->GetNumber();
            if (graph->NodeHasDuplicateInputs(i)) {
                throw CParseException("Node #" + std::to_string(number) + " of graph " +
                                      Quoted(graph->GetName()) + " has identical outputs!");
            }
            const std::string* output = graph->GetElement(i)->FindGraphOutput();
            const auto entered = output != nullptr ? graphIndex.find(*output) : graphIndex.end();
            if (entered == graphIndex.end()) {
                continue;
            }
            const CGraph& other = *m_pGraphs[static_cast<size_t>(entered->second)];
            const CGraphElement& node = *graph->GetElement(i);
            for (int e = 0; e < node.GetEdgeCount(); ++e) {
                const CEdge& edge = *node.GetEdge(e);
                if (!edge.IsGraph() && other.HasFirstToken(edge.GetInput())) {
                    throw CParseException("Node #" + std::to_string(number) + " of graph " +
                                          Quoted(graph->GetName()) +
                                          " has the same outputs as node #1 of Graph " +
                                          Quoted(other.GetName()) + "!");
                }
            }
        }
    }
}

CGrammer::GraphIndex CGrammer::IndexGraphNames() const {
    GraphIndex index;
    index.reserve(m_pNames.size());
    for (int i = GetGraphCount() - 1; i >= 0; --i) {
        if (!m_pNames[static_cast<size_t>(i)].empty()) {
            index[m_pNames[static_cast<size_t>(i)]] = i;  // the first of equal names wins
        }
    }
    return index;
}

// The merge of phase B, depth first through node-1 graph outputs. It keeps
// its own stack rather than recursing, so a long chain of graphs cannot
// exhaust the call stack. A chain that comes back to a graph still being
// processed merges that graph's set as it stands at that moment.
void CGrammer::CollectFirstTokens(int nGraph, const GraphIndex& graphIndex) {
    struct Frame {
        int graph;
        int entered;  // -1 until the frame has started
    };
    std::vector<Frame> stack{{nGraph, -1}};
    while (!stack.empty()) {
        const size_t top = stack.size() - 1;
        CGraph& graph = *m_pGraphs[static_cast<size_t>(stack[top].graph)];
        if (stack[top].entered == -1) {
            graph.ToggleVisited();
            const auto found = graphIndex.find(graph.GetNodeGraphOutput(0));
            if (found == graphIndex.end()) {
                stack.pop_back();
                continue;
            }
            const int k = found->second;
            stack[top].entered = k;
            if (!m_pGraphs[static_cast<size_t>(k)]->IsVisited()) {
                stack.push_back({k, -1});
                continue;
            }
        }
        const CGraph& entered = *m_pGraphs[static_cast<size_t>(stack[top].entered)];
        int count = 0;
        const std::vector<std::string>& tokens = entered.GetFirstTokens(count);
        if (!graph.AddFirstTokens(tokens, count)) {
            throw CParseException("Node #1 of graph " + Quoted(graph.GetName()) +
                                  " and node #1 of Graph " + Quoted(entered.GetName()) +
                                  " have identical outputs!");
        }
        stack.pop_back();
    }
}
