#include "model/node_pair_list.h"

#include <algorithm>

#include "model/graph_node.h"

namespace {
CNodePairList g_nodePairs;
}

CNodePairList* const g_pNodePairs = &g_nodePairs;

int CNodePairList::Register(const CGraphNode* a, const CGraphNode* b) {
    const uint64_t ia = a->GetId();
    const uint64_t ib = b->GetId();
    return m_counts[{std::min(ia, ib), std::max(ia, ib)}]++;
}
