#pragma once

#include <cstdint>

#include "framework/geometry.h"

class CArchive;
class CDC;
class CGraph;

// A numbered circular node of a syntax graph.
class CGraphNode {
public:
    static constexpr int kRadius = 15;

    CGraphNode();
    CGraphNode(int nNumber, int x, int y, bool bFinal);
    CGraphNode(const CGraphNode&) = delete;
    CGraphNode& operator=(const CGraphNode&) = delete;
    virtual ~CGraphNode();

    // Writes the node part in the object's output mode, or reads it.
    virtual void Serialize(CArchive& ar);

    CPoint GetCenter() const { return m_ptCenter; }
    void SetCenter(CPoint pt) { m_ptCenter = pt; }
    bool IsFinal() const { return m_bFinal; }
    void SetFinal(bool bFinal) { m_bFinal = bFinal; }
    int GetNumber() const { return m_nNumber; }
    int GetRefCount() const { return m_nRefCount; }
    void SetMode(int nMode) { m_nMode = nMode; }

    // Within the node's circle, its boundary included.
    bool HitTest(CPoint pt) const;
    // A filled disc of the node's radius, black or, when final, red, with
    // its number in yellow.
    void Draw(CDC* pDC) const;

    // Nothing attached, and not the start node.
    bool CanDelete() const { return m_nRefCount == 0 && m_nNumber != 1; }

    // Identity for the life of the program: never shared by two nodes, even
    // when one is destroyed and another takes its memory.
    uint64_t GetId() const { return m_nId; }

protected:
    CPoint m_ptCenter;
    bool m_bFinal = false;
    int m_nMode = 0;
    int m_nNumber = 0;
    int m_nRefCount = 0;

private:
    friend class CEdge;   // counts its ends
    friend class CGraph;  // checks the counts of a loaded graph

    uint64_t m_nId;
};
