#include "framework/archive.h"
#include "model/document_format.h"
#include "model/grammar.h"
#include "model/table_format.h"

void CGrammer::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        if (m_nMode == 0) {
            document_format::WriteGraphCount(ar, GetGraphCount());
        } else {
            table_format::WriteHeader(ar, m_nMode, GetGraphCount());
        }
        for (const auto& graph : m_pGraphs) {
            graph->Serialize(ar);
        }
        return;
    }

    SetMode(0);
    m_pGraphs.clear();
    m_pNames.clear();
    m_pCurrent = nullptr;
    try {
        const int32_t nGraphs = document_format::ReadGraphCount(ar);
        m_pGraphs.reserve(static_cast<size_t>(nGraphs));
        m_pNames.reserve(static_cast<size_t>(nGraphs));
        for (int32_t i = 0; i < nGraphs; ++i) {
            m_pGraphs.push_back(std::make_unique<CGraph>());
            m_pGraphs.back()->Serialize(ar);
            m_pNames.push_back(m_pGraphs.back()->GetName());
        }
        document_format::ReadEnd(ar);
    } catch (...) {
        // Never leave a half-read grammar behind: the caller starts afresh.
        m_pGraphs.clear();
        m_pNames.clear();
        throw;
    }
    m_pCurrent = m_pGraphs.front().get();
}
