#include "model/graph_node.h"

#include <atomic>
#include <string>

#include "framework/archive.h"
#include "model/document_format.h"
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
        const document_format::NodeRecord node = document_format::ReadNode(ar);
        m_bFinal = node.final;
        m_nNumber = node.number;
        m_ptCenter = node.center;
        return;
    }
    if (m_nMode != 0) {
        table_format::WriteNode(ar, m_nMode, m_nNumber, m_bFinal);
        return;
    }
    document_format::WriteNode(ar, document_format::NodeRecord{m_nNumber, m_bFinal, m_ptCenter});
}
