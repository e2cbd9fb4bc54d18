#include "model/graph_node.h"

#include <atomic>
#include <string>

#include "framework/archive.h"
#include "model/table_format.h"

namespace {

uint64_t NextNodeId() {
    static std::atomic<uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

CGraphNode::CGraphNode() : m_nId(NextNodeId()) {}

CGraphNode::CGraphNode(int nNumber, int x, int y, bool bFinal)
    : m_ptCenter{x, y}, m_bFinal(bFinal), m_nNumber(nNumber), m_nId(NextNodeId()) {}

CGraphNode::~CGraphNode() = default;

bool CGraphNode::HitTest(CPoint pt) const {
    // In 64 bits, and far points ruled out before squaring, so no pair of
    // coordinates can overflow.
    const int64_t dx = int64_t{pt.x} - m_ptCenter.x;
    const int64_t dy = int64_t{pt.y} - m_ptCenter.y;
    if (dx < -kRadius || dx > kRadius || dy < -kRadius || dy > kRadius) {
        return false;
    }
    return dx * dx + dy * dy <= int64_t{kRadius} * kRadius;
}

void CGraphNode::Serialize(CArchive& ar) {
    if (ar.IsLoading()) {
        const int32_t v = ar.ReadInt();
        const int32_t x = ar.ReadInt();
        const int32_t y = ar.ReadInt();
        if (v == 0 || v == INT32_MIN) {
            BadFormat("invalid node number");
        }
        m_bFinal = v < 0;
        m_nNumber = v < 0 ? -v : v;
        m_ptCenter = CPoint{x, y};
        return;
    }
    if (m_nMode != 0) {
        table_format::WriteNode(ar, m_nMode, m_nNumber, m_bFinal);
        return;
    }
    ar.WriteInt(m_bFinal ? -m_nNumber : m_nNumber);
    ar.WriteInt(m_ptCenter.x);
    ar.WriteInt(m_ptCenter.y);
}
