#include "model/edit_commands.h"

#include <utility>

#include "model/grammar.h"

CGraph& CEditCommand::Graph(CGrammer& doc) const {
    return *doc.GetGraph(m_nGraph);
}

CNodeSlotCommand::CNodeSlotCommand(int nGraph, int nSlot, const Node& node, int nLastBefore,
                                   int nLastAfter, bool bAdded)
    : CEditCommand(nGraph),
      m_nSlot(nSlot),
      m_node(node),
      m_nLastBefore(nLastBefore),
      m_nLastAfter(nLastAfter),
      m_bAdded(bAdded) {}

void CNodeSlotCommand::Undo(CGrammer& doc) {
    m_bAdded ? Remove(doc) : Insert(doc);
}

void CNodeSlotCommand::Redo(CGrammer& doc) {
    m_bAdded ? Insert(doc) : Remove(doc);
}

void CNodeSlotCommand::Insert(CGrammer& doc) {
    CGraph& graph = Graph(doc);
    graph.InsertNode(m_nSlot, m_node.number, m_node.centre, m_node.final);
    graph.SetLastNumber(m_nLastAfter);
}

void CNodeSlotCommand::Remove(CGrammer& doc) {
    CGraph& graph = Graph(doc);
    graph.RemoveNode(m_nSlot);
    graph.SetLastNumber(m_nLastBefore);
}

CMoveNodeCommand::CMoveNodeCommand(int nGraph, int nSlot, CPoint other, std::vector<Label> labels)
    : CEditCommand(nGraph), m_nSlot(nSlot), m_ptOther(other), m_labels(std::move(labels)) {}

void CMoveNodeCommand::Swap(CGrammer& doc) {
    CGraph& graph = Graph(doc);
    CGraphElement* node = graph.GetElement(m_nSlot);
    const CPoint centre = node->GetCenter();
    node->SetCenter(m_ptOther);
    m_ptOther = centre;
    for (Label& label : m_labels) {
        CEdge* edge = graph.GetElement(label.slot)->GetEdge(label.index);
        const CRect rect = edge->GetLabelRect();
        edge->SetLabelRect(label.rect);
        label.rect = rect;
    }
}

void CToggleFinalCommand::Toggle(CGrammer& doc) {
    CGraphElement* node = Graph(doc).GetElement(m_nSlot);
    node->SetFinal(!node->IsFinal());
}

CEdgeListCommand::CEdgeListCommand(int nGraph, int nSlot, int nIndex, int nTarget,
                                   CEdgeFields fields, bool bAdded)
    : CEditCommand(nGraph),
      m_nSlot(nSlot),
      m_nIndex(nIndex),
      m_nTarget(nTarget),
      m_fields(std::move(fields)),
      m_bAdded(bAdded) {}

void CEdgeListCommand::Undo(CGrammer& doc) {
    m_bAdded ? Remove(doc) : Insert(doc);
}

void CEdgeListCommand::Redo(CGrammer& doc) {
    m_bAdded ? Insert(doc) : Remove(doc);
}

void CEdgeListCommand::Insert(CGrammer& doc) {
    CGraph& graph = Graph(doc);
    graph.GetElement(m_nSlot)->InsertEdge(m_nIndex, graph.GetElement(m_nTarget), m_fields);
}

void CEdgeListCommand::Remove(CGrammer& doc) {
    CGraphElement* source = Graph(doc).GetElement(m_nSlot);
    m_fields = source->GetEdge(m_nIndex)->GetFields();
    source->RemoveEdge(m_nIndex);
}

CEdgeFieldsCommand::CEdgeFieldsCommand(int nGraph, int nSlot, int nIndex, CEdgeFields other)
    : CEditCommand(nGraph), m_nSlot(nSlot), m_nIndex(nIndex), m_other(std::move(other)) {}

void CEdgeFieldsCommand::Swap(CGrammer& doc) {
    CEdge* edge = Graph(doc).GetElement(m_nSlot)->GetEdge(m_nIndex);
    CEdgeFields present = edge->GetFields();
    edge->SetFields(m_other);
    m_other = std::move(present);
}

CAppendGraphCommand::CAppendGraphCommand(int nGraph, std::string strName)
    : CEditCommand(nGraph), m_strName(std::move(strName)) {}

void CAppendGraphCommand::Undo(CGrammer& doc) {
    doc.RemoveLastGraph();
}

void CAppendGraphCommand::Redo(CGrammer& doc) {
    doc.AppendGraph(m_strName);
}

CMacroCommand::CMacroCommand(int nGraph, std::vector<std::unique_ptr<CEditCommand>> parts)
    : CEditCommand(nGraph), m_parts(std::move(parts)) {}

void CMacroCommand::Undo(CGrammer& doc) {
    for (auto it = m_parts.rbegin(); it != m_parts.rend(); ++it) {
        (*it)->Undo(doc);
    }
}

void CMacroCommand::Redo(CGrammer& doc) {
    for (const auto& part : m_parts) {
        part->Redo(doc);
    }
}
