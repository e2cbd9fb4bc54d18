#include "model/edit_history.h"

#include <cstring>
#include <utility>

#include "model/edit_commands.h"
#include "model/grammar.h"

namespace {

// Equal as saved: the bend compared by its bits, as the file holds it.
bool SameFields(const CEdgeFields& a, const CEdgeFields& b) {
    return a.input == b.input && a.action == b.action && a.graph == b.graph &&
           std::memcmp(&a.offset, &b.offset, sizeof a.offset) == 0 && a.label == b.label;
}

CNodeSlotCommand::Node ValuesOf(const CGraphNode& node) {
    return CNodeSlotCommand::Node{node.GetNumber(), node.GetCenter(), node.IsFinal()};
}

// The labels of every edge that leaves or enters the node in slot nSlot. The
// search ends once it has met as many edge ends as the node counts.
std::vector<CMoveNodeCommand::Label> LabelsAt(const CGraph& graph, int nSlot) {
    const CGraphNode* node = graph.GetElement(nSlot);
    std::vector<CMoveNodeCommand::Label> labels;
    int ends = node->GetRefCount();
    for (int i = 0; i < graph.GetNodeCount() && ends > 0; ++i) {
        const CGraphElement* element = graph.GetElement(i);
        for (int j = 0; j < element->GetEdgeCount(); ++j) {
            const CEdge* edge = element->GetEdge(j);
            const int here = (i == nSlot ? 1 : 0) + (edge->GetTo() == node ? 1 : 0);
            if (here > 0) {
                labels.push_back({i, j, edge->GetLabelRect()});
                ends -= here;
            }
        }
    }
    return labels;
}

}  // namespace

CEditHistory::CEditHistory(CGrammer& doc) : m_doc(doc) {}

CEditHistory::~CEditHistory() = default;

CGraphElement* CEditHistory::AddNode(CPoint pt) {
    const CGraph* graph = m_doc.GetCurrentGraph();
    const int lastBefore = graph->GetLastNumber();
    CGraphElement* node = m_doc.AddNode(pt);
    if (node != nullptr) {
        Push(std::make_unique<CNodeSlotCommand>(m_doc.GetCurrentIndex(), graph->GetNodeCount() - 1,
                                                ValuesOf(*node), lastBefore, graph->GetLastNumber(),
                                                true));
    }
    return node;
}

void CEditHistory::MoveSelectedNode(CPoint pt) {
    const CGraph* graph = m_doc.GetCurrentGraph();
    const CGraphNode* node = graph->GetSelected();
    if (node == nullptr || node->GetCenter() == pt) {
        m_doc.MoveSelectedNode(pt);
        return;
    }
    const int slot = graph->SlotOf(node);
    const CPoint before = node->GetCenter();
    std::vector<CMoveNodeCommand::Label> labels = LabelsAt(*graph, slot);
    m_doc.MoveSelectedNode(pt);
    Push(std::make_unique<CMoveNodeCommand>(m_doc.GetCurrentIndex(), slot, before,
                                            std::move(labels)));
}

bool CEditHistory::DeleteNode(CPoint pt) {
    const CGraph* graph = m_doc.GetCurrentGraph();
    const int slot = graph->FindNodeSlot(pt);
    if (slot < 0) {
        return m_doc.DeleteNode(pt);
    }
    const CNodeSlotCommand::Node node = ValuesOf(*graph->GetElement(slot));
    if (!m_doc.DeleteNode(pt)) {
        return false;
    }
    const int last = graph->GetLastNumber();
    Push(
        std::make_unique<CNodeSlotCommand>(m_doc.GetCurrentIndex(), slot, node, last, last, false));
    return true;
}

bool CEditHistory::DeleteEdge(CPoint pt) {
    const CGraph* graph = m_doc.GetCurrentGraph();
    int slot = 0;
    int index = 0;
    if (!graph->FindEdgePlace(pt, slot, index)) {
        return m_doc.DeleteEdge(pt);
    }
    const CEdge* edge = graph->GetElement(slot)->GetEdge(index);
    CEdgeFields fields = edge->GetFields();
    const int target = graph->SlotOf(edge->GetTo());
    if (!m_doc.DeleteEdge(pt)) {
        return false;
    }
    Push(std::make_unique<CEdgeListCommand>(m_doc.GetCurrentIndex(), slot, index, target,
                                            std::move(fields), false));
    return true;
}

void CEditHistory::AddEdge(CPoint pt, const std::string& strInput, const std::string& strAction,
                           bool bGraph, bool bExisting) {
    const CGraph* graph = m_doc.GetCurrentGraph();
    const int current = m_doc.GetCurrentIndex();
    const int graphsBefore = m_doc.GetGraphCount();
    std::vector<std::unique_ptr<CEditCommand>> parts;
    int slot = -1;
    int index = 0;
    if (bExisting) {
        if (graph->FindEdgePlace(pt, slot, index)) {
            const CEdge* edge = graph->GetElement(slot)->GetEdge(index);
            CEdgeFields before = edge->GetFields();
            m_doc.AddEdge(pt, strInput, strAction, bGraph, bExisting);
            if (!SameFields(before, edge->GetFields())) {
                parts.push_back(
                    std::make_unique<CEdgeFieldsCommand>(current, slot, index, std::move(before)));
            }
        } else {
            m_doc.AddEdge(pt, strInput, strAction, bGraph, bExisting);
        }
    } else {
        slot = graph->GetSelected() != nullptr ? graph->SlotOf(graph->GetSelected()) : -1;
        const CGraphElement* source = slot >= 0 ? graph->GetElement(slot) : nullptr;
        index = source != nullptr ? source->GetEdgeCount() : 0;
        m_doc.AddEdge(pt, strInput, strAction, bGraph, bExisting);
        if (source != nullptr && source->GetEdgeCount() > index) {
            const CEdge* edge = source->GetEdge(index);
            parts.push_back(std::make_unique<CEdgeListCommand>(
                current, slot, index, graph->SlotOf(edge->GetTo()), edge->GetFields(), true));
        }
    }
    if (m_doc.GetGraphCount() > graphsBefore) {
        parts.push_back(std::make_unique<CAppendGraphCommand>(
            current, m_doc.GetGraphName(m_doc.GetGraphCount() - 1)));
    }
    if (parts.size() == 1) {
        Push(std::move(parts.front()));
    } else if (parts.size() > 1) {
        Push(std::make_unique<CMacroCommand>(current, std::move(parts)));
    }
}

bool CEditHistory::ToggleNodeFinal(CPoint pt) {
    const int slot = m_doc.GetCurrentGraph()->FindNodeSlot(pt);
    if (!m_doc.ToggleNodeFinal(pt)) {
        return false;
    }
    Push(std::make_unique<CToggleFinalCommand>(m_doc.GetCurrentIndex(), slot));
    return true;
}

bool CEditHistory::DropLabel(CEdge* pEdge, CDC* pDC, CPoint pt) {
    const CGraph* graph = m_doc.GetCurrentGraph();
    for (int i = 0; i < graph->GetNodeCount(); ++i) {
        const CGraphElement* element = graph->GetElement(i);
        for (int j = 0; j < element->GetEdgeCount(); ++j) {
            if (element->GetEdge(j) != pEdge) {
                continue;
            }
            CEdgeFields before = pEdge->GetFields();
            if (!pEdge->DropLabel(pDC, pt)) {
                return false;
            }
            if (!SameFields(before, pEdge->GetFields())) {
                Push(std::make_unique<CEdgeFieldsCommand>(m_doc.GetCurrentIndex(), i, j,
                                                          std::move(before)));
            }
            return true;
        }
    }
    return false;
}

void CEditHistory::Push(std::unique_ptr<CEditCommand> step) {
    // A new step ends the way back to the steps undone before it.
    m_steps.erase(m_steps.begin() + static_cast<std::ptrdiff_t>(m_nIndex), m_steps.end());
    if (m_nClean > static_cast<std::ptrdiff_t>(m_nIndex)) {
        m_nClean = -1;
    }
    m_steps.push_back(std::move(step));
    ++m_nIndex;
    m_doc.SetModifiedFlag(!IsClean());
}

bool CEditHistory::Undo() {
    if (!CanUndo()) {
        return false;
    }
    CEditCommand& step = *m_steps[--m_nIndex];
    m_doc.SelectGraph(step.GetGraph());
    step.Undo(m_doc);
    Settle();
    return true;
}

bool CEditHistory::Redo() {
    if (!CanRedo()) {
        return false;
    }
    CEditCommand& step = *m_steps[m_nIndex++];
    m_doc.SelectGraph(step.GetGraph());
    step.Redo(m_doc);
    Settle();
    return true;
}

void CEditHistory::Settle() {
    for (int i = 0; i < m_doc.GetGraphCount(); ++i) {
        m_doc.GetGraph(i)->ClearSelected();
    }
    m_doc.SetModifiedFlag(!IsClean());
}

void CEditHistory::Clear() {
    m_steps.clear();
    m_nIndex = 0;
    m_nClean = 0;
}

void CEditHistory::SetClean() {
    m_nClean = static_cast<std::ptrdiff_t>(m_nIndex);
}
