#include "model/edge.h"

#include <cstdint>

#include "framework/archive.h"
#include "model/document_format.h"
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

CEdge::CEdge(CGraphNode* pFrom, CGraphNode* pTo, const CEdgeFields& fields)
    : m_pTo(pTo),
      m_pFrom(pFrom),
      m_strInput(fields.input),
      m_strAction(fields.action),
      m_fOffset(fields.offset),
      m_rcLabel(fields.label),
      m_bGraph(fields.graph) {
    ++m_pFrom->m_nRefCount;
    ++m_pTo->m_nRefCount;
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

CEdgeFields CEdge::GetFields() const {
    return CEdgeFields{m_strInput, m_strAction, m_bGraph, m_fOffset, m_rcLabel};
}

void CEdge::SetFields(const CEdgeFields& fields) {
    m_strInput = fields.input;
    m_strAction = fields.action;
    m_bGraph = fields.graph;
    m_fOffset = fields.offset;
    m_rcLabel = fields.label;
}

void CEdge::Join(CGraphNode* pFrom, CGraphNode* pTo) {
    m_pFrom = pFrom;
    m_pTo = pTo;
}

void CEdge::Serialize(CArchive& ar) {
    if (ar.IsLoading()) {
        const document_format::EdgeRecord edge = document_format::ReadEdge(ar);
        m_bGraph = edge.graph;
        m_nToNumber = edge.target;
        m_strInput = edge.input;
        m_strAction = edge.action;
        m_fOffset = edge.offset;
        m_rcLabel = edge.label;
        return;
    }
    const int32_t target = m_pTo != nullptr ? m_pTo->GetNumber() : m_nToNumber;
    if (m_nMode != 0) {
        table_format::WriteEdge(ar, m_nMode, m_bGraph, m_strInput, target, m_strAction);
        return;
    }
    document_format::WriteEdge(ar, document_format::EdgeRecord{m_bGraph, target, m_strInput,
                                                               m_strAction, m_fOffset, m_rcLabel});
}
