#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/geometry.h"
#include "model/edge.h"

class CGrammer;
class CGraph;

// One undoable step of CEditHistory. A command is created after its edit has
// been done, so its first Redo comes only after an Undo; each finds the
// document exactly as the other left it, apart from what drawing refreshes
// (label rectangles) and picks.
class CEditCommand {
public:
    explicit CEditCommand(int nGraph) : m_nGraph(nGraph) {}
    CEditCommand(const CEditCommand&) = delete;
    CEditCommand& operator=(const CEditCommand&) = delete;
    virtual ~CEditCommand() = default;

    virtual void Undo(CGrammer& doc) = 0;
    virtual void Redo(CGrammer& doc) = 0;
    // The graph the user sees the step in.
    int GetGraph() const { return m_nGraph; }

protected:
    CGraph& Graph(CGrammer& doc) const;

private:
    int m_nGraph;
};

// A node that was added (bAdded) or deleted, with the last number before
// and after.
class CNodeSlotCommand : public CEditCommand {
public:
    struct Node {
        int number = 0;
        CPoint centre;
        bool final = false;
    };
    CNodeSlotCommand(int nGraph, int nSlot, const Node& node, int nLastBefore, int nLastAfter,
                     bool bAdded);
    void Undo(CGrammer& doc) override;
    void Redo(CGrammer& doc) override;

private:
    void Insert(CGrammer& doc);
    void Remove(CGrammer& doc);

    int m_nSlot;
    Node m_node;
    int m_nLastBefore;
    int m_nLastAfter;
    bool m_bAdded;
};

// A node moved. The label rectangles of its edges, in and out, go with the
// centre, so both states come back as they were last drawn.
class CMoveNodeCommand : public CEditCommand {
public:
    struct Label {
        int slot;
        int index;
        CRect rect;
    };
    // The centre and labels are those of the other state, swapped in and out.
    CMoveNodeCommand(int nGraph, int nSlot, CPoint other, std::vector<Label> labels);
    void Undo(CGrammer& doc) override { Swap(doc); }
    void Redo(CGrammer& doc) override { Swap(doc); }

private:
    void Swap(CGrammer& doc);

    int m_nSlot;
    CPoint m_ptOther;
    std::vector<Label> m_labels;
};

class CToggleFinalCommand : public CEditCommand {
public:
    CToggleFinalCommand(int nGraph, int nSlot) : CEditCommand(nGraph), m_nSlot(nSlot) {}
    void Undo(CGrammer& doc) override { Toggle(doc); }
    void Redo(CGrammer& doc) override { Toggle(doc); }

private:
    void Toggle(CGrammer& doc);

    int m_nSlot;
};

// An edge that was added (bAdded) or deleted, at its place in its source's
// list, to the node in slot nTarget. The fields are taken again whenever the
// edge is taken out, so its label comes back as last drawn.
class CEdgeListCommand : public CEditCommand {
public:
    CEdgeListCommand(int nGraph, int nSlot, int nIndex, int nTarget, CEdgeFields fields,
                     bool bAdded);
    void Undo(CGrammer& doc) override;
    void Redo(CGrammer& doc) override;

private:
    void Insert(CGrammer& doc);
    void Remove(CGrammer& doc);

    int m_nSlot;
    int m_nIndex;
    int m_nTarget;
    CEdgeFields m_fields;
    bool m_bAdded;
};

// New properties or a new bend of an edge: the fields of the other state,
// swapped in and out.
class CEdgeFieldsCommand : public CEditCommand {
public:
    CEdgeFieldsCommand(int nGraph, int nSlot, int nIndex, CEdgeFields other);
    void Undo(CGrammer& doc) override { Swap(doc); }
    void Redo(CGrammer& doc) override { Swap(doc); }

private:
    void Swap(CGrammer& doc);

    int m_nSlot;
    int m_nIndex;
    CEdgeFields m_other;
};

// The graph a Graph edge created, appended as the last one.
class CAppendGraphCommand : public CEditCommand {
public:
    CAppendGraphCommand(int nGraph, std::string strName);
    void Undo(CGrammer& doc) override;
    void Redo(CGrammer& doc) override;

private:
    std::string m_strName;
};

// Several commands as one step: done in order, undone in reverse.
class CMacroCommand : public CEditCommand {
public:
    CMacroCommand(int nGraph, std::vector<std::unique_ptr<CEditCommand>> parts);
    void Undo(CGrammer& doc) override;
    void Redo(CGrammer& doc) override;

private:
    std::vector<std::unique_ptr<CEditCommand>> m_parts;
};
