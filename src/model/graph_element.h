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
    // Its place in the list, or -1.
    int FindEdgeIndex(CPoint pt) const;
    bool DeleteEdge(CPoint pt);
    // Puts an edge back at a place in the list (0 to the edge count), to pTo,
    // as it was; see CEdge(CGraphNode*, CGraphNode*, const CEdgeFields&).
    CEdge* InsertEdge(int nIndex, CGraphNode* pTo, const CEdgeFields& fields);
    // Destroys the edge at a place in the list, releasing its two nodes.
    void RemoveEdge(int nIndex);
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
