#pragma once

#include <cstdint>
#include <unordered_map>

class CGraphNode;

// Counts the edges ever constructed between each unordered pair of nodes, for
// the whole run: shared by all graphs and documents, never cleared, and never
// counted down, so a deleted edge's bend is not given out again. Nodes are
// told apart by their program-wide ids, so a pair whose node is gone never
// matches a node created later.
class CNodePairList {
public:
    // How many edges had been constructed between {a, b} before this call;
    // counts one more.
    int Register(const CGraphNode* a, const CGraphNode* b);

private:
    struct PairHash {
        std::size_t operator()(const std::pair<uint64_t, uint64_t>& p) const {
            return std::hash<uint64_t>()(p.first * 0x9E3779B97F4A7C15ull ^ p.second);
        }
    };
    std::unordered_map<std::pair<uint64_t, uint64_t>, int, PairHash> m_counts;
};

extern CNodePairList* const g_pNodePairs;
