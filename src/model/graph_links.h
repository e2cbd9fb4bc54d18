#pragma once

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "framework/archive.h"

// What a graph read from a document must satisfy before its edges can be
// joined to its nodes, checked the same way by CGraph's loader and by the
// flat grammar lumo-gen reads.
namespace graph_links {

// Node number to slot, for one graph at a time. Numbers have gaps only where
// nodes were deleted, so they mostly fit a table indexed by number, which
// is kept from graph to graph; far-apart numbers go to a hash map instead.
class SlotIndex {
public:
    // Numbers run from 1 to lastNumber.
    void Start(int32_t lastNumber, int32_t nNodes) {
        for (const int32_t number : m_used) {
            m_table[static_cast<std::size_t>(number)] = -1;
        }
        m_used.clear();
        m_map.clear();
        m_dense = lastNumber <= 4 * int64_t{nNodes} + 1024;
        // A file may give any last number, a negative one included; such a
        // graph is refused at its first node, but must get that far.
        const auto size = static_cast<std::size_t>(std::max(lastNumber, 0)) + 1;
        if (m_dense && m_table.size() < size) {
            m_table.resize(size, -1);
        }
    }
    // False when the number is already taken. Needs 1 <= number <= lastNumber.
    bool Add(int32_t number, int32_t slot) {
        if (!m_dense) {
            return m_map.emplace(number, slot).second;
        }
        int32_t& entry = m_table[static_cast<std::size_t>(number)];
        if (entry >= 0) {
            return false;
        }
        entry = slot;
        m_used.push_back(number);
        return true;
    }
    // The slot of a number, or -1.
    int32_t Find(int32_t number) const {
        if (!m_dense) {
            const auto found = m_map.find(number);
            return found != m_map.end() ? found->second : -1;
        }
        if (number < 1 || static_cast<std::size_t>(number) >= m_table.size()) {
            return -1;
        }
        return m_table[static_cast<std::size_t>(number)];
    }

private:
    bool m_dense = true;
    std::vector<int32_t> m_table;
    std::vector<int32_t> m_used;
    std::unordered_map<int32_t, int32_t> m_map;
};

// A graph as its loader sees it, before its edges are joined: by slot, each
// node's number, stored reference count and edge count, and the number each
// of its edges leads to.
template <class G>
concept LoadedGraph = requires(const G& graph, int32_t slot, int32_t edge) {
    { graph.NodeCount() } -> std::convertible_to<int32_t>;
    { graph.Number(slot) } -> std::convertible_to<int32_t>;
    { graph.RefCount(slot) } -> std::convertible_to<int32_t>;
    { graph.EdgeCount(slot) } -> std::convertible_to<int32_t>;
    { graph.Target(slot, edge) } -> std::convertible_to<int32_t>;
};

// Node 1 in slot 0; numbers distinct and no higher than lastNumber; every
// edge to a node of the graph; every node's stored count equal to the edge
// ends at it. Throws CArchiveException at the first that fails. Fills
// targets with the slot each edge leads to, edges in slot order.
template <LoadedGraph Graph>
void Check(const Graph& graph, int32_t lastNumber, SlotIndex& slots,
           std::vector<int32_t>& targets) {
    const int32_t nodes = graph.NodeCount();
    if (graph.Number(0) != 1) {
        BadFormat("first node is not node 1");
    }
    slots.Start(lastNumber, nodes);
    for (int32_t i = 0; i < nodes; ++i) {
        const int32_t number = graph.Number(i);
        if (number > lastNumber) {
            BadFormat("node number above the last number given");
        }
        if (!slots.Add(number, i)) {
            BadFormat("repeated node number");
        }
    }
    targets.clear();
    std::vector<int64_t> ends(static_cast<std::size_t>(nodes), 0);
    for (int32_t i = 0; i < nodes; ++i) {
        for (int32_t j = 0; j < graph.EdgeCount(i); ++j) {
            const int32_t to = slots.Find(graph.Target(i, j));
            if (to < 0) {
                BadFormat("edge to a missing node");
            }
            targets.push_back(to);
            ++ends[static_cast<std::size_t>(i)];
            ++ends[static_cast<std::size_t>(to)];
        }
    }
    // A count below the real one would let a node with edges be deleted.
    for (int32_t i = 0; i < nodes; ++i) {
        if (graph.RefCount(i) != ends[static_cast<std::size_t>(i)]) {
            BadFormat("reference count does not match the edges");
        }
    }
}

}  // namespace graph_links
