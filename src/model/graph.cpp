#include "model/graph.h"

#include <climits>

#include "framework/archive.h"
#include "model/document_format.h"
#include "model/graph_links.h"
#include "model/table_format.h"
#include "model/validation_queries.h"

CGraph::CGraph() = default;

CGraph::CGraph(const std::string& strName) : m_strName(strName) {}

CGraph::~CGraph() {
    // Edges first, while every node they point at is still alive.
    for (auto& element : m_pElements) {
        element->DeleteAllEdges();
    }
    m_pElements.clear();
}

CGraphElement* CGraph::AddNode(CPoint pt) {
    if (m_nLastNumber == INT_MAX) {
        return nullptr;
    }
    ++m_nLastNumber;
    m_pElements.push_back(std::make_unique<CGraphElement>(m_nLastNumber, pt.x, pt.y, false));
    return m_pElements.back().get();
}

CGraphNode* CGraph::FindNode(CPoint pt) {
    const int slot = FindNodeSlot(pt);
    if (slot < 0) {
        return nullptr;
    }
    m_pSelected = GetElement(slot);
    return m_pSelected;
}

int CGraph::FindNodeSlot(CPoint pt) const {
    for (size_t i = 0; i < m_pElements.size(); ++i) {
        if (m_pElements[i]->HitTest(pt)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int CGraph::SlotOf(const CGraphNode* node) const {
    for (size_t i = 0; i < m_pElements.size(); ++i) {
        if (m_pElements[i].get() == node) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void CGraph::MoveSelectedNode(CPoint pt) {
    if (m_pSelected == nullptr) {
        return;
    }
    m_pSelected->SetCenter(pt);
    m_pSelected = nullptr;
}

void CGraph::AddEdge(CPoint pt, const std::string& strInput, const std::string& strAction,
                     bool bGraph) {
    CGraphNode* source = m_pSelected;
    if (source == nullptr) {
        return;
    }
    FindNode(pt);
    CGraphNode* target = m_pSelected;
    m_pSelected = nullptr;
    // Every node of a graph is the node part of one of its slots.
    static_cast<CGraphElement*>(source)->AddEdge(source, target, strInput, strAction, bGraph);
}

CEdge* CGraph::FindEdge(CPoint pt) const {
    int slot = 0;
    int index = 0;
    return FindEdgePlace(pt, slot, index) ? GetElement(slot)->GetEdge(index) : nullptr;
}

bool CGraph::FindEdgePlace(CPoint pt, int& nSlot, int& nIndex) const {
    for (size_t i = 0; i < m_pElements.size(); ++i) {
        const int index = m_pElements[i]->FindEdgeIndex(pt);
        if (index >= 0) {
            nSlot = static_cast<int>(i);
            nIndex = index;
            return true;
        }
    }
    return false;
}

bool CGraph::DeleteNode(CPoint pt) {
    // Only the first node at pt is a candidate, deletable or not.
    const int slot = FindNodeSlot(pt);
    if (slot < 0 || !GetElement(slot)->CanDelete()) {
        return false;
    }
    RemoveNode(slot);
    return true;
}

bool CGraph::DeleteEdge(CPoint pt) {
    for (const auto& element : m_pElements) {
        if (element->DeleteEdge(pt)) {
            return true;
        }
    }
    return false;
}

CGraphElement* CGraph::InsertNode(int nSlot, int nNumber, CPoint pt, bool bFinal) {
    auto element = std::make_unique<CGraphElement>(nNumber, pt.x, pt.y, bFinal);
    element->SetMode(m_nMode);
    return m_pElements.insert(m_pElements.begin() + nSlot, std::move(element))->get();
}

void CGraph::RemoveNode(int nSlot) {
    const auto it = m_pElements.begin() + nSlot;
    if (m_pSelected == it->get()) {
        m_pSelected = nullptr;
    }
    m_pElements.erase(it);
}

void CGraph::SetMode(int nMode) {
    m_nMode = nMode;
    for (const auto& element : m_pElements) {
        element->SetMode(nMode);
    }
}

void CGraph::Serialize(CArchive& ar) {
    if (ar.IsLoading()) {
        const document_format::GraphRecord graph = document_format::ReadGraph(ar);
        m_strName = graph.name;
        const int32_t nNodes = graph.nodes;
        m_nLastNumber = graph.lastNumber;
        for (auto& element : m_pElements) {
            element->DeleteAllEdges();
        }
        m_pElements.clear();
        m_pSelected = nullptr;
        m_pElements.reserve(static_cast<size_t>(nNodes));
        for (int32_t i = 0; i < nNodes; ++i) {
            m_pElements.push_back(std::make_unique<CGraphElement>(i + 1, 0, 0, false));
            m_pElements.back()->Serialize(ar);
        }
        JoinLoadedEdges();
        return;
    }
    const auto nNodes = static_cast<int32_t>(m_pElements.size());
    if (m_nMode == 0) {
        document_format::WriteGraph(ar,
                                    document_format::GraphRecord{m_strName, nNodes, m_nLastNumber});
    } else {
        table_format::WriteGraph(ar, m_nMode, m_strName, nNodes);
    }
    for (const auto& element : m_pElements) {
        element->Serialize(ar);
    }
    if (m_nMode != 0) {
        table_format::WriteGraphEnd(ar, m_nMode);
    }
}

void CGraph::JoinLoadedEdges() {
    struct Links {
        const std::vector<std::unique_ptr<CGraphElement>>& elements;
        int32_t NodeCount() const { return static_cast<int32_t>(elements.size()); }
        int32_t Number(int32_t i) const { return At(i).GetNumber(); }
        int32_t RefCount(int32_t i) const { return At(i).GetRefCount(); }
        int32_t EdgeCount(int32_t i) const { return At(i).GetEdgeCount(); }
        int32_t Target(int32_t i, int32_t j) const { return At(i).GetEdge(j)->GetToNumber(); }
        const CGraphElement& At(int32_t i) const { return *elements[static_cast<std::size_t>(i)]; }
    };
    // Every count is checked before any edge is joined: a refused graph is
    // destroyed with its edges unjoined, so they release nothing and the
    // counts, which may be anything a file holds, are never touched.
    graph_links::SlotIndex slots;
    std::vector<int32_t> targets;
    graph_links::Check(Links{m_pElements}, m_nLastNumber, slots, targets);
    auto target = targets.begin();
    for (const auto& element : m_pElements) {
        for (int j = 0; j < element->GetEdgeCount(); ++j) {
            element->GetEdge(j)->Join(element.get(),
                                      m_pElements[static_cast<std::size_t>(*target++)].get());
        }
    }
}

bool CGraph::HasFinalNode() const {
    return validation_queries::HasFinalNode(*this);
}

bool CGraph::FindFinalWithGraphOutput(int& nNumber) const {
    return validation_queries::FindFinalWithGraphOutput(*this, nNumber);
}

bool CGraph::FindMultipleGraphOutputs(int& nNumber) const {
    return validation_queries::FindMultipleGraphOutputs(*this, nNumber);
}

bool CGraph::InitFirstTokens() {
    m_bVisited = false;
    return m_firstTokens.Init(*m_pElements.front());
}

std::string CGraph::GetNodeGraphOutput(int nIndex) const {
    return GetElement(nIndex)->GetGraphOutput();
}

const std::vector<std::string>& CGraph::GetFirstTokens(int& nCount) const {
    nCount = static_cast<int>(m_firstTokens.Tokens().size());
    return m_firstTokens.Tokens();
}

bool CGraph::AddFirstTokens(const std::vector<std::string>& tokens, int nCount) {
    return m_firstTokens.Append(tokens, nCount);
}

bool CGraph::HasFirstToken(std::string_view token) const {
    return m_firstTokens.Contains(token);
}

bool CGraph::NodeHasDuplicateInputs(int nIndex) const {
    return GetElement(nIndex)->HasDuplicateInputs();
}
