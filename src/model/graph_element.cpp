#include "model/graph_element.h"

#include <string_view>
#include <unordered_set>

#include "framework/archive.h"

namespace {
// Type, target, two empty strings, offset and label rectangle.
constexpr std::size_t kMinEdgeRecord = 1 + 4 + 1 + 1 + 4 + 16;
}  // namespace

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
    for (const auto& edge : m_pEdges) {
        if (edge->HitTest(pt)) {
            return edge.get();
        }
    }
    return nullptr;
}

bool CGraphElement::DeleteEdge(CPoint pt) {
    for (auto it = m_pEdges.begin(); it != m_pEdges.end(); ++it) {
        if ((*it)->HitTest(pt)) {
            m_pEdges.erase(it);
            return true;
        }
    }
    return false;
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
    int count = 0;
    for (const auto& edge : m_pEdges) {
        count += edge->IsGraph() ? 1 : 0;
    }
    return count;
}

int CGraphElement::CollectTokenInputs(std::vector<std::string>& arr) const {
    int count = 0;
    for (const auto& edge : m_pEdges) {
        if (!edge->IsGraph()) {
            arr.push_back(edge->GetInput());
            ++count;
        }
    }
    return count;
}

std::string CGraphElement::GetGraphOutput() const {
    const std::string* output = FindGraphOutput();
    return output != nullptr ? *output : std::string();
}

const std::string* CGraphElement::FindGraphOutput() const {
    for (const auto& edge : m_pEdges) {
        if (edge->IsGraph()) {
            return &edge->GetInput();
        }
    }
    return nullptr;
}

bool CGraphElement::HasDuplicateInputs() const {
    // Most nodes have a handful of edges: comparing them pairwise costs less
    // than building a set.
    constexpr std::size_t kPairwise = 16;
    if (m_pEdges.size() <= kPairwise) {
        for (std::size_t i = 0; i < m_pEdges.size(); ++i) {
            for (std::size_t j = i + 1; j < m_pEdges.size(); ++j) {
                if (m_pEdges[i]->GetInput() == m_pEdges[j]->GetInput()) {
                    return true;
                }
            }
        }
        return false;
    }
    std::unordered_set<std::string_view> seen;
    seen.reserve(m_pEdges.size());
    for (const auto& edge : m_pEdges) {
        if (!seen.insert(edge->GetInput()).second) {
            return true;
        }
    }
    return false;
}

void CGraphElement::Serialize(CArchive& ar) {
    CGraphNode::Serialize(ar);
    if (ar.IsLoading()) {
        const int32_t nEdges = ar.ReadCount(kMinEdgeRecord);
        m_nRefCount = ar.ReadInt();
        DeleteAllEdges();
        m_pEdges.reserve(static_cast<size_t>(nEdges));
        for (int32_t j = 0; j < nEdges; ++j) {
            m_pEdges.push_back(std::make_unique<CEdge>());
            m_pEdges.back()->Serialize(ar);
            m_pEdges.back()->SetFromNumber(m_nNumber);
        }
        return;
    }
    const auto nEdges = static_cast<int32_t>(m_pEdges.size());
    switch (m_nElementMode) {
        case 0:
            ar.WriteInt(nEdges);
            ar.WriteInt(m_nRefCount);
            break;
        case 1:
            ar.WriteInt(nEdges);
            break;
        default:
            ar.WriteText("\t\tThe Number of Output Edges: ");
            ar.WriteText(std::to_string(nEdges));
            ar.WriteText("\r\n");
            break;
    }
    for (const auto& edge : m_pEdges) {
        edge->Serialize(ar);
    }
}
