#include "model/grammar.h"

CGrammer::CGrammer() {
    OnNewDocument();
}

CGrammer::~CGrammer() {
    CGrammer::DeleteContents();
}

bool CGrammer::OnNewDocument() {
    if (!CDocument::OnNewDocument()) {
        return false;
    }
    BuildInitialGrammar();
    return true;
}

void CGrammer::BuildInitialGrammar() {
    AppendGraph("MAIN");
    m_pCurrent = m_pGraphs.front().get();
    SetMode(0);
}

CGraph* CGrammer::AppendGraph(const std::string& strName) {
    auto graph = std::make_unique<CGraph>(strName);
    graph->AddNode(CPoint{100, 100});
    m_pGraphs.push_back(std::move(graph));
    m_pNames.push_back(strName);
    return m_pGraphs.back().get();
}

void CGrammer::RemoveLastGraph() {
    if (m_pGraphs.size() <= 1) {
        return;  // MAIN stays
    }
    if (m_pCurrent == m_pGraphs.back().get()) {
        m_pCurrent = m_pGraphs.front().get();
    }
    m_pGraphs.pop_back();
    m_pNames.pop_back();
}

bool CGrammer::OnSaveDocument(const std::string& path) {
    if (!CDocument::OnSaveDocument(path)) {
        return false;
    }
    m_history.SetClean();
    return true;
}

void CGrammer::DeleteContents() {
    m_history.Clear();
    m_pGraphs.clear();
    m_pNames.clear();
    m_pCurrent = nullptr;
    CDocument::DeleteContents();
}

void CGrammer::LoadContents(CArchive& ar) {
    // Into a grammar of its own: running out of memory part-way then leaves
    // this one whole. The old graphs go with it.
    CGrammer loaded;
    loaded.Serialize(ar);
    std::swap(m_pNames, loaded.m_pNames);
    std::swap(m_pGraphs, loaded.m_pGraphs);
    std::swap(m_pCurrent, loaded.m_pCurrent);
    SetMode(0);
    // The steps were made on the graphs just replaced.
    m_history.Clear();
}

void CGrammer::SetMode(int nMode) {
    m_nMode = nMode;
    for (const auto& graph : m_pGraphs) {
        graph->SetMode(nMode);
    }
}

int CGrammer::GetCurrentIndex() const {
    for (size_t i = 0; i < m_pGraphs.size(); ++i) {
        if (m_pGraphs[i].get() == m_pCurrent) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool CGrammer::SelectGraph(int nIndex) {
    if (nIndex < 0 || nIndex >= GetGraphCount()) {
        return false;
    }
    m_pCurrent = m_pGraphs[static_cast<size_t>(nIndex)].get();
    return true;
}

CGraphElement* CGrammer::AddNode(CPoint pt) {
    SetModifiedFlag();
    return m_pCurrent->AddNode(pt);
}

CGraphNode* CGrammer::FindNode(CPoint pt) {
    return m_pCurrent->FindNode(pt);
}

void CGrammer::MoveSelectedNode(CPoint pt) {
    SetModifiedFlag();
    m_pCurrent->MoveSelectedNode(pt);
}

CEdge* CGrammer::FindEdge(CPoint pt) {
    SetModifiedFlag();
    return m_pCurrent->FindEdge(pt);
}

bool CGrammer::DeleteNode(CPoint pt) {
    if (!m_pCurrent->DeleteNode(pt)) {
        return false;
    }
    SetModifiedFlag();
    return true;
}

bool CGrammer::DeleteEdge(CPoint pt) {
    if (!m_pCurrent->DeleteEdge(pt)) {
        return false;
    }
    SetModifiedFlag();
    return true;
}

void CGrammer::AddEdge(CPoint pt, const std::string& strInput, const std::string& strAction,
                       bool bGraph, bool bExisting) {
    SetModifiedFlag();
    if (bExisting) {
        if (CEdge* edge = FindEdge(pt)) {
            edge->SetProperties(strInput, strAction, bGraph);
        }
    } else {
        m_pCurrent->AddEdge(pt, strInput, strAction, bGraph);
    }
    if (!bGraph || strInput.empty() || FindGraph(strInput) != -1) {
        return;
    }
    AppendGraph(strInput);
}

bool CGrammer::ToggleNodeFinal(CPoint pt) {
    CGraphNode* node = m_pCurrent->FindNode(pt);
    if (node == nullptr) {
        return false;
    }
    node->SetFinal(!node->IsFinal());
    SetModifiedFlag();
    return true;
}

CGraph* CGrammer::AddGraph(const std::string& strName) {
    const int index = FindGraph(strName);
    return index != -1 ? GetGraph(index) : AppendGraph(strName);
}

int CGrammer::FindGraph(const std::string& strName) const {
    if (strName.empty()) {
        return -1;
    }
    for (size_t i = 0; i < m_pNames.size(); ++i) {
        if (m_pNames[i] == strName) {
            return static_cast<int>(i);
        }
    }
    return -1;
}
