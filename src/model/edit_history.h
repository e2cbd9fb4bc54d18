#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "framework/geometry.h"

class CDC;
class CEdge;
class CEditCommand;
class CGrammer;
class CGraphElement;

// The undo history of one document: every edit that changes what is saved
// becomes one step, which can be undone and redone. The edits below do what
// the document's operations of the same names do, mark the document modified
// as those do, and record a step when something changed; an edit that changes
// nothing records none. Steps refer to the document by values only (graph
// index, slot and list places, numbers, fields), which hold because every
// change of the document's contents goes through here until the history is
// emptied.
//
// The modified flag follows the history: undoing or redoing to the state last
// saved or opened clears it, reaching any other state sets it.
class CEditHistory {
public:
    explicit CEditHistory(CGrammer& doc);
    CEditHistory(const CEditHistory&) = delete;
    CEditHistory& operator=(const CEditHistory&) = delete;
    ~CEditHistory();

    CGraphElement* AddNode(CPoint pt);
    void MoveSelectedNode(CPoint pt);
    bool DeleteNode(CPoint pt);
    bool DeleteEdge(CPoint pt);
    void AddEdge(CPoint pt, const std::string& strInput, const std::string& strAction, bool bGraph,
                 bool bExisting);
    bool ToggleNodeFinal(CPoint pt);
    // Ends the label drag of an edge of the current graph (CEdge::DropLabel);
    // false when the edge is not in the current graph or was not picked.
    bool DropLabel(CEdge* pEdge, CDC* pDC, CPoint pt);

    bool CanUndo() const { return m_nIndex > 0; }
    bool CanRedo() const { return m_nIndex < m_steps.size(); }
    // Each makes the step's graph the current one, then takes the step back
    // or applies it again, and leaves no node picked. False, with nothing
    // done, when there is no step to take.
    bool Undo();
    bool Redo();

    // Forgets every step; the present state becomes the clean one.
    void Clear();
    // The present state is the one saved.
    void SetClean();
    bool IsClean() const { return m_nClean == static_cast<std::ptrdiff_t>(m_nIndex); }
    // Steps recorded, and how many of them are done.
    std::size_t GetCount() const { return m_steps.size(); }
    std::size_t GetIndex() const { return m_nIndex; }

private:
    void Push(std::unique_ptr<CEditCommand> step);
    void Settle();

    CGrammer& m_doc;
    std::vector<std::unique_ptr<CEditCommand>> m_steps;
    std::size_t m_nIndex = 0;
    // The index of the saved state; -1 once its steps have been discarded.
    std::ptrdiff_t m_nClean = 0;
};
