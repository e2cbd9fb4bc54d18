#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/geometry.h"
#include "model/graph_element.h"
#include "model/validation_queries.h"

class CArchive;
class CDC;

// One syntax graph: its name and its node slots in creation order. Slot 0
// always holds node 1, the start node. Numbers are never reused, so after
// deletions they have gaps.
class CGraph {
public:
    CGraph();
    explicit CGraph(const std::string& strName);
    CGraph(const CGraph&) = delete;
    CGraph& operator=(const CGraph&) = delete;
    virtual ~CGraph();

    // Loading refuses, with CArchiveException, a graph that breaks the model:
    // no nodes, a first node other than 1, numbers below 1 or repeated, a
    // last number below a node's number, an edge to a node the graph lacks,
    // or a node whose reference count differs from the edge ends it has.
    virtual void Serialize(CArchive& ar);

    // Appends node m_nLastNumber + 1 at pt; does nothing once the numbers
    // are exhausted. Returns the new node or nullptr.
    CGraphElement* AddNode(CPoint pt);
    // The first node in slot order at pt, which also becomes the picked node.
    CGraphNode* FindNode(CPoint pt);
    void MoveSelectedNode(CPoint pt);
    // An edge from the picked node to the node at pt; a loop on the picked
    // node when there is none at pt.
    void AddEdge(CPoint pt, const std::string& strInput, const std::string& strAction, bool bGraph);
    CEdge* FindEdge(CPoint pt) const;
    bool DeleteNode(CPoint pt);
    bool DeleteEdge(CPoint pt);

    // Where FindNode and FindEdge look: the slot of the first node at pt, or
    // -1; the slot and list place of the first edge whose label is at pt, or
    // false.
    int FindNodeSlot(CPoint pt) const;
    bool FindEdgePlace(CPoint pt, int& nSlot, int& nIndex) const;
    // The slot holding node, or -1.
    int SlotOf(const CGraphNode* node) const;

    // Putting a graph back as an edit found it: a node slot, with its number,
    // centre and final flag, at a place in slot order (1 to the node count);
    // and the removal of a slot whose node has no edge at all.
    CGraphElement* InsertNode(int nSlot, int nNumber, CPoint pt, bool bFinal);
    void RemoveNode(int nSlot);
    void SetLastNumber(int nNumber) { m_nLastNumber = nNumber; }
    void ClearSelected() { m_pSelected = nullptr; }
    void SetMode(int nMode);
    // Every edge, slot by slot, then every node, so nodes lie on top.
    void Draw(CDC* pDC);

    const std::string& GetName() const { return m_strName; }
    int GetNodeCount() const { return static_cast<int>(m_pElements.size()); }
    CGraphElement* GetElement(int nIndex) const {
        return m_pElements[static_cast<size_t>(nIndex)].get();
    }
    int GetLastNumber() const { return m_nLastNumber; }
    CGraphNode* GetSelected() const { return m_pSelected; }

    // Queries of validation, over the slots in order.
    bool HasFinalNode() const;
    bool FindFinalWithGraphOutput(int& nNumber) const;
    bool FindMultipleGraphOutputs(int& nNumber) const;
    // Starts the first-token set afresh from node 1's token outputs; false
    // when two of them are equal.
    bool InitFirstTokens();
    bool IsVisited() const { return m_bVisited; }
    void ToggleVisited() { m_bVisited = !m_bVisited; }
    std::string GetNodeGraphOutput(int nIndex) const;
    const std::vector<std::string>& GetFirstTokens(int& nCount) const;
    // Appends pTokens[0..nCount) to the first-token set, in order; false at
    // the first token the set already holds (one appended in this call
    // included). The tokens may be this graph's own set.
    bool AddFirstTokens(const std::vector<std::string>& tokens, int nCount);
    // Whether the first-token set holds token.
    bool HasFirstToken(std::string_view token) const;
    bool NodeHasDuplicateInputs(int nIndex) const;

private:
    void JoinLoadedEdges();

    std::vector<std::unique_ptr<CGraphElement>> m_pElements;
    int m_nLastNumber = 0;
    CGraphNode* m_pSelected = nullptr;
    std::string m_strName = "Untitled";
    int m_nMode = 0;
    bool m_bVisited = false;
    validation_queries::FirstTokenSet<std::string> m_firstTokens;
};
