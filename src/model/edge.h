#pragma once

#include <string>

#include "framework/geometry.h"

class CArchive;
class CDC;
class CGraphNode;

// Everything an edge holds besides its two nodes and its drawing state: what
// an edit of it changes, and what undoing the edit puts back.
struct CEdgeFields {
    std::string input;
    std::string action;
    bool graph = false;
    float offset = 0.0f;
    CRect label;
};

// A directed edge between two nodes of one graph. A Token edge's input is a
// terminal; a Graph edge's input names another graph. The edge counts one
// reference on each of its nodes while it lives, but owns neither.
class CEdge {
public:
    // An unattached edge, as the loader creates it before reading its fields.
    CEdge();
    // Counts both ends on the nodes and takes a bend from the node-pair
    // registry: 0, +1, -1, +2, ... between two nodes; -1, +2, -2, ... for
    // loops.
    CEdge(CGraphNode* pFrom, CGraphNode* pTo, const std::string& strInput,
          const std::string& strAction, bool bGraph);
    // An edge put back as it was: counts both ends on the nodes but asks the
    // node-pair registry for nothing, so the bend is the one given.
    CEdge(CGraphNode* pFrom, CGraphNode* pTo, const CEdgeFields& fields);
    CEdge(const CEdge&) = delete;
    CEdge& operator=(const CEdge&) = delete;
    virtual ~CEdge();

    virtual void Serialize(CArchive& ar);

    // A line or arc from source to target with its arrowhead and its label;
    // sets the label rectangle, the edge's hit area, even when the edge lies
    // outside the surface's clip box and nothing is drawn.
    void Draw(CDC* pDC);
    // Draws the label white on blue, as picked for a drag.
    void HighlightLabel(CDC* pDC);
    // Ends a label drag at pt: bends the edge so the middle of its arc is
    // level with pt, or straightens it near the line. False, with nothing
    // changed, when the label was not highlighted.
    bool DropLabel(CDC* pDC, CPoint pt);
    // Ends a label drag without a drop: the label is drawn in its own
    // colours again and the bend stays.
    void CancelLabelDrag() { m_bHighlighted = false; }

    void SetProperties(const std::string& strInput, const std::string& strAction, bool bGraph);
    CEdgeFields GetFields() const;
    void SetFields(const CEdgeFields& fields);
    // On the label rectangle, its right and bottom borders excluded.
    bool HitTest(CPoint pt) const { return m_rcLabel.PtInRect(pt); }
    void SetMode(int nMode) { m_nMode = nMode; }

    CGraphNode* GetFrom() const { return m_pFrom; }
    CGraphNode* GetTo() const { return m_pTo; }
    const std::string& GetInput() const { return m_strInput; }
    const std::string& GetAction() const { return m_strAction; }
    bool IsGraph() const { return m_bGraph; }
    float GetOffset() const { return m_fOffset; }
    void SetOffset(float fOffset) { m_fOffset = fOffset; }
    const CRect& GetLabelRect() const { return m_rcLabel; }
    void SetLabelRect(const CRect& rc) { m_rcLabel = rc; }
    bool IsHighlighted() const { return m_bHighlighted; }

    // The target's number as the loader read it, from which the graph joins
    // the edge to its nodes; the source is the slot that holds the edge.
    int GetToNumber() const { return m_nToNumber; }
    // Sets the node pointers of a loaded edge; counts nothing, since a loaded
    // node brings its count with it.
    void Join(CGraphNode* pFrom, CGraphNode* pTo);

private:
    CGraphNode* m_pTo = nullptr;
    CGraphNode* m_pFrom = nullptr;
    std::string m_strInput;
    std::string m_strAction;
    float m_fOffset = 0.0f;
    CRect m_rcLabel;
    bool m_bGraph = false;
    bool m_bHighlighted = false;
    int m_nMode = 0;
    int m_nToNumber = 0;
};
