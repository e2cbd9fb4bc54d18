// The rules a table must keep besides its format: those validation enforces
// on the nodes and the first-token sets, and the absence of left recursion,
// which makes every walk terminate.

#include <algorithm>
#include <unordered_map>

#include "runtime/internal/table_builder.h"

namespace lumo::internal {

void TableBuilder::CheckNodes() {
    for (std::uint32_t g = 0; g < m_t.graphs.size(); ++g) {
        const TableGraph& graph = m_t.graphs[g];
        bool hasFinal = false;
        for (std::uint32_t i = graph.firstNode; i < graph.firstNode + graph.nodeCount; ++i) {
            hasFinal = hasFinal || m_t.nodes[i].final;
        }
        if (!hasFinal) {
            throw TableError("graph " + Quoted(graph.name) + " has no final node");
        }
    }
    // Inputs are compared as strings, whatever the edge types, as validation
    // does: a Token edge "E" beside a Graph edge "E" is refused too.
    std::unordered_map<std::string_view, std::uint32_t> inputs;
    for (std::uint32_t i = 0; i < m_t.nodes.size(); ++i) {
        const TableNode& node = m_t.nodes[i];
        std::uint32_t graphEdges = 0;
        inputs.clear();
        m_t.nodes[i].graphEdge = kNone;
        for (std::uint32_t e = node.edgeBegin; e < node.edgeEnd; ++e) {
            if (m_t.edges[e].graph != kNone) {
                ++graphEdges;
                m_t.nodes[i].graphEdge = e;
            }
            if (!inputs.emplace(m_raw[e].input, e).second) {
                throw TableError(NodeName(i) + " has two edges with the input " +
                                 Quoted(m_raw[e].input));
            }
        }
        if (graphEdges > 0 && node.final) {
            throw TableError(NodeName(i) + " is final and has a Graph edge");
        }
        if (graphEdges > 1) {
            throw TableError(NodeName(i) + " has more than one Graph edge");
        }
    }
    m_raw.clear();
    m_raw.shrink_to_fit();
}

void TableBuilder::CheckLeftRecursion() {
    // Loops of optional graphs within a graph. Each node passes empty to at
    // most one node, so following those steps from every node finds them.
    enum : std::uint8_t { kNew, kOnPath, kDone };
    std::vector<std::uint8_t> state(m_t.nodes.size(), kNew);
    std::vector<std::uint32_t> path;
    for (std::uint32_t start = 0; start < m_t.nodes.size(); ++start) {
        path.clear();
        for (std::uint32_t n = start; n != kNone && state[n] != kDone; n = PassEmpty(n)) {
            if (state[n] == kOnPath) {
                std::string loop;
                const auto from = std::find(path.begin(), path.end(), n);
                for (auto it = from; it != path.end(); ++it) {
                    loop += "#" + std::to_string(m_t.nodes[*it].number) + " -> ";
                }
                loop += "#" + std::to_string(m_t.nodes[n].number);
                throw TableError("graph " + GraphName(m_t.nodes[n].graph) +
                                 " can pass round a loop of optional graphs without a token (" +
                                 loop + ")");
            }
            state[n] = kOnPath;
            path.push_back(n);
        }
        for (const std::uint32_t n : path) {
            state[n] = kDone;
        }
    }

    // Graphs each graph can enter before consuming a token: the Graph edges
    // met from node 1 while passing optional graphs. No cycle may remain.
    const auto graphCount = static_cast<std::uint32_t>(m_t.graphs.size());
    std::vector<std::uint32_t> leftBegin(graphCount + 1, 0);
    std::vector<std::uint32_t> left;
    for (std::uint32_t g = 0; g < graphCount; ++g) {
        leftBegin[g] = static_cast<std::uint32_t>(left.size());
        for (std::uint32_t n = m_t.graphs[g].firstNode; n != kNone; n = PassEmpty(n)) {
            const std::uint32_t e = GraphEdge(n);
            if (e != kNone) {
                left.push_back(m_t.edges[e].graph);
            }
        }
    }
    leftBegin[graphCount] = static_cast<std::uint32_t>(left.size());

    // Depth first with an explicit stack, since chains of graphs can be long.
    std::vector<std::uint8_t> seen(graphCount, kNew);
    struct Frame {
        std::uint32_t graph;
        std::uint32_t next;  // the next index in left to follow
    };
    std::vector<Frame> stack;
    for (std::uint32_t root = 0; root < graphCount; ++root) {
        if (seen[root] != kNew) {
            continue;
        }
        stack.push_back({root, leftBegin[root]});
        seen[root] = kOnPath;
        while (!stack.empty()) {
            Frame& top = stack.back();
            if (top.next == leftBegin[top.graph + 1]) {
                seen[top.graph] = kDone;
                stack.pop_back();
                continue;
            }
            const std::uint32_t to = left[top.next++];
            if (seen[to] == kOnPath) {
                std::string chain;
                auto it = std::find_if(stack.begin(), stack.end(),
                                       [to](const Frame& f) { return f.graph == to; });
                for (; it != stack.end(); ++it) {
                    chain += m_t.graphs[it->graph].name + " -> ";
                }
                chain += m_t.graphs[to].name;
                throw TableError("left recursion: graph " + GraphName(to) +
                                 " can enter itself without consuming a token (" + chain + ")");
            }
            if (seen[to] == kNew) {
                seen[to] = kOnPath;
                stack.push_back({to, leftBegin[to]});
            }
        }
    }
}

void TableBuilder::ComputeFirstTokens() {
    // Node 1's Graph edge leads to one graph at most and, with left recursion
    // refused, never back: each graph's set is its node-1 tokens followed by
    // the set of the graph it enters, which is computed first.
    const auto graphCount = static_cast<std::uint32_t>(m_t.graphs.size());
    std::vector<std::uint32_t> next(graphCount, kNone);
    for (std::uint32_t g = 0; g < graphCount; ++g) {
        const std::uint32_t e = GraphEdge(m_t.graphs[g].firstNode);
        if (e != kNone) {
            next[g] = m_t.edges[e].graph;
        }
    }
    std::vector<bool> done(graphCount, false);
    std::vector<std::uint32_t> chain;
    std::vector<std::uint32_t> stamp(m_t.tokens.size(), kNone);
    for (std::uint32_t root = 0; root < graphCount; ++root) {
        chain.clear();
        for (std::uint32_t g = root; g != kNone && !done[g]; g = next[g]) {
            chain.push_back(g);
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            const std::uint32_t g = *it;
            TableGraph& graph = m_t.graphs[g];
            const TableNode& node1 = m_t.nodes[graph.firstNode];
            std::size_t size = 0;
            for (std::uint32_t e = node1.edgeBegin; e < node1.edgeEnd; ++e) {
                size += m_t.edges[e].graph == kNone ? 1 : 0;
            }
            if (next[g] != kNone) {
                const TableGraph& entered = m_t.graphs[next[g]];
                size += entered.firstEnd - entered.firstBegin;
            }
            if (size > ParseTable::kMaxFirstTokens - m_t.first.size()) {
                throw TableError("the first-token sets hold more than " +
                                 std::to_string(ParseTable::kMaxFirstTokens) + " tokens in all");
            }
            graph.firstBegin = static_cast<std::uint32_t>(m_t.first.size());
            for (std::uint32_t e = node1.edgeBegin; e < node1.edgeEnd; ++e) {
                if (m_t.edges[e].graph == kNone) {
                    m_t.first.push_back(m_t.edges[e].token);
                    stamp[m_t.edges[e].token] = g;
                }
            }
            if (next[g] != kNone) {
                const TableGraph& entered = m_t.graphs[next[g]];
                for (std::uint32_t k = entered.firstBegin; k < entered.firstEnd; ++k) {
                    const TokenId t = m_t.first[k];
                    if (stamp[t] == g) {
                        throw TableError("node #1 of graph " + GraphName(g) +
                                         " and node #1 of graph " + GraphName(next[g]) +
                                         " both start with " + Quoted(m_t.tokens[t]));
                    }
                    m_t.first.push_back(t);
                }
            }
            graph.firstEnd = static_cast<std::uint32_t>(m_t.first.size());
            done[g] = true;
        }
    }
    m_t.firstSorted = m_t.first;
    for (const TableGraph& graph : m_t.graphs) {
        std::sort(m_t.firstSorted.begin() + graph.firstBegin,
                  m_t.firstSorted.begin() + graph.firstEnd);
    }
}

void TableBuilder::CheckFirstTokenConflicts() {
    for (std::uint32_t i = 0; i < m_t.nodes.size(); ++i) {
        const TableNode& node = m_t.nodes[i];
        if (node.graphEdge == kNone) {
            continue;
        }
        const std::uint32_t entered = m_t.edges[node.graphEdge].graph;
        for (std::uint32_t e = node.edgeBegin; e < node.edgeEnd; ++e) {
            const TableEdge& edge = m_t.edges[e];
            if (edge.graph == kNone && m_t.StartsWith(entered, edge.token)) {
                throw TableError(NodeName(i) + " has a Token edge " +
                                 Quoted(m_t.tokens[edge.token]) + " and a Graph edge to graph " +
                                 GraphName(entered) + ", which starts with the same token");
            }
        }
    }
}

}  // namespace lumo::internal
