#include "model/edge.h"

#include <cstdint>

#include "framework/archive.h"
#include "model/graph_node.h"
#include "model/node_pair_list.h"
#include "model/table_format.h"

CEdge::CEdge() = default;

CEdge::CEdge(CGraphNode* pFrom, CGraphNode* pTo, const std::string& strInput,
             const std::string& strAction, bool bGraph)
    : m_pTo(pTo), m_pFrom(pFrom), m_strInput(strInput), m_strAction(strAction), m_bGraph(bGraph) {
    if (m_pFrom != nullptr) {
        ++m_pFrom->m_nRefCount;
    }
    if (m_pTo != nullptr) {
        ++m_pTo->m_nRefCount;
    }
    if (m_pFrom == nullptr || m_pTo == nullptr) {
        return;
    }
    const int n = g_pNodePairs->Register(m_pFrom, m_pTo);
    const int c = m_pFrom == m_pTo ? n + 2 : n;
    m_fOffset = static_cast<float>(c % 2 != 0 ? (c + 1) / 2 : -(c / 2));
}

CEdge::~CEdge() {
    if (m_pFrom != nullptr) {
        --m_pFrom->m_nRefCount;
    }
    if (m_pTo != nullptr) {
        --m_pTo->m_nRefCount;
    }
}

void CEdge::SetProperties(const std::string& strInput, const std::string& strAction, bool bGraph) {
    m_strInput = strInput;
    m_strAction = strAction;
    m_bGraph = bGraph;
}

void CEdge::Join(CGraphNode* pFrom, CGraphNode* pTo) {
    m_pFrom = pFrom;
    m_pTo = pTo;
}

void CEdge::Serialize(CArchive& ar) {
    if (ar.IsLoading()) {
        m_bGraph = ar.ReadByte() != 0;
        m_nToNumber = ar.ReadInt();
        m_strInput = ar.ReadString();
        m_strAction = ar.ReadString();
        m_fOffset = ar.ReadFloat();
        m_rcLabel.bottom = ar.ReadInt();
        m_rcLabel.left = ar.ReadInt();
        m_rcLabel.top = ar.ReadInt();
        m_rcLabel.right = ar.ReadInt();
        return;
    }
    const int32_t target = m_pTo != nullptr ? m_pTo->GetNumber() : m_nToNumber;
    if (m_nMode != 0) {
        table_format::WriteEdge(ar, m_nMode, m_bGraph, m_strInput, target, m_strAction);
        return;
    }
    ar.WriteByte(m_bGraph ? 1 : 0);
    ar.WriteInt(target);
    ar.WriteString(m_strInput);
    ar.WriteString(m_strAction);
    ar.WriteFloat(m_fOffset);
    ar.WriteInt(m_rcLabel.bottom);
    ar.WriteInt(m_rcLabel.left);
    ar.WriteInt(m_rcLabel.top);
    ar.WriteInt(m_rcLabel.right);
}
