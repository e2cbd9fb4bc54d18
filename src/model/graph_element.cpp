#include "model/graph_element.h"

#include "framework/archive.h"
#include "model/document_format.h"
#include "model/table_format.h"
#include "model/validation_queries.h"

CGraphElement::CGraphElement() = default;

CGraphElement::CGraphElement(int nNumber, int x, int y, bool bFinal)
    : CGraphNode(nNumber, x, y, bFinal) {}

CGraphElement::~CGraphElement() {
    DeleteAllEdges();
}

CEdge* CGraphElement::AddEdge(CGraphNode* pFrom, CGraphNode* pTo, const std::string& strInput,
                              const std::string& strAction, bool bGraph) {
    m_pEdges.push_back(std::make_unique<CEdge>(pFrom, pTo, strInput, strAction, bGraph));
    return m_pEdges.back().get();
}

CEdge* CGraphElement::FindEdge(CPoint pt) const {
    const int index = FindEdgeIndex(pt);
    return index >= 0 ? GetEdge(index) : nullptr;
}

int CGraphElement::FindEdgeIndex(CPoint pt) const {
    for (size_t i = 0; i < m_pEdges.size(); ++i) {
        if (m_pEdges[i]->HitTest(pt)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool CGraphElement::DeleteEdge(CPoint pt) {
    const int index = FindEdgeIndex(pt);
    if (index < 0) {
        return false;
    }
    RemoveEdge(index);
    return true;
}

CEdge* CGraphElement::InsertEdge(int nIndex, CGraphNode* pTo, const CEdgeFields& fields) {
    auto edge = std::make_unique<CEdge>(this, pTo, fields);
    edge->SetMode(m_nElementMode);
    return m_pEdges.insert(m_pEdges.begin() + nIndex, std::move(edge))->get();
}

void CGraphElement::RemoveEdge(int nIndex) {
    m_pEdges.erase(m_pEdges.begin() + nIndex);
}

void CGraphElement::DeleteAllEdges() {
    // In list order, as they were made.
    for (auto& edge : m_pEdges) {
        edge.reset();
    }
    m_pEdges.clear();
}

void CGraphElement::SetMode(int nMode) {
    CGraphNode::SetMode(nMode);
    m_nElementMode = nMode;
    for (const auto& edge : m_pEdges) {
        edge->SetMode(nMode);
    }
}

int CGraphElement::CountGraphOutputs() const {
    return validation_queries::CountGraphOutputs(*this);
}

std::string CGraphElement::GetGraphOutput() const {
    const std::string* output = FindGraphOutput();
    return output != nullptr ? *output : std::string();
}

const std::string* CGraphElement::FindGraphOutput() const {
    return validation_queries::FindGraphOutput(*this);
}

bool CGraphElement::HasDuplicateInputs() const {
    return validation_queries::HasDuplicateInputs(*this);
}

void CGraphElement::Serialize(CArchive& ar) {
    CGraphNode::Serialize(ar);
    if (ar.IsLoading()) {
        const document_format::NodeEdgeCounts counts = document_format::ReadNodeEdgeCounts(ar);
        const int32_t nEdges = counts.edges;
        m_nRefCount = counts.refCount;
        DeleteAllEdges();
        m_pEdges.reserve(static_cast<size_t>(nEdges));
        for (int32_t j = 0; j < nEdges; ++j) {
            m_pEdges.push_back(std::make_unique<CEdge>());
            m_pEdges.back()->Serialize(ar);
        }
        return;
    }
    const auto nEdges = static_cast<int32_t>(m_pEdges.size());
    if (m_nElementMode == 0) {
        document_format::WriteNodeEdgeCounts(ar,
                                             document_format::NodeEdgeCounts{nEdges, m_nRefCount});
    } else {
        table_format::WriteEdgeCount(ar, m_nElementMode, nEdges);
    }
    for (const auto& edge : m_pEdges) {
        edge->Serialize(ar);
    }
}
