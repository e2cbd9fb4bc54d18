#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/edge.h"
#include "model/graph_node.h"

// A node slot of a graph: the node and the edges that leave it, which it owns
// in creation order.
class CGraphElement : public CGraphNode {
public:
    CGraphElement();
    CGraphElement(int nNumber, int x, int y, bool bFinal);
    ~CGraphElement() override;

    void Serialize(CArchive& ar) override;

    CEdge* AddEdge(CGraphNode* pFrom, CGraphNode* pTo, const std::string& strInput,
                   const std::string& strAction, bool bGraph);
    // The first edge, in list order, whose label is at pt.
    CEdge* FindEdge(CPoint pt) const;
    bool DeleteEdge(CPoint pt);
    // Destroys every edge; each releases its two nodes.
    void DeleteAllEdges();
    void SetMode(int nMode);
    void DrawEdges(CDC* pDC);

    int GetEdgeCount() const { return static_cast<int>(m_pEdges.size()); }
    CEdge* GetEdge(int nIndex) const { return m_pEdges[static_cast<size_t>(nIndex)].get(); }

    // Queries of validation, each over the edges in list order.
    int CountGraphOutputs() const;
    // The input of the first graph output, or "".
    std::string GetGraphOutput() const;
    // The same without a copy; nullptr when there is none.
    const std::string* FindGraphOutput() const;
    // Two edges, of whatever types, with byte-for-byte equal inputs.
    bool HasDuplicateInputs() const;

private:
    std::vector<std::unique_ptr<CEdge>> m_pEdges;
    int m_nElementMode = 0;
};
