// The canvas's commands: its context menus and what they do, the graph
// list, undo and redo, the drawing mode, Generate, Quick Help and printing.

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QStatusTipEvent>

#include "editor/edge_properties_dlg.h"
#include "editor/lumo_view.h"
#include "editor/qt_dialogs.h"
#include "model/grammar.h"

namespace {

// Command ids of the context menus' items.
enum Command {
    kEdgeDelete = 32776,
    kEdgeProperties = 32777,
    kNodeDelete = 32778,
    kNodeFinal = 32779,
};

// A graph name as a menu item's text, with '&' kept literal.
QString MenuText(const std::string& name) {
    return DisplayString(name).replace('&', "&&");
}

}  // namespace

void CLumoView::RunEdgeDialog(CPoint point, bool existing) {
    CEdgePropertiesDlg dialog(this, point, m_pDoc, existing);
    dialog.DoModal();
    Repaint();
}

void CLumoView::contextMenuEvent(QContextMenuEvent* event) {
    // A request from the keyboard has no point on the canvas to act at.
    if (event->reason() != QContextMenuEvent::Mouse || !viewport()->rect().contains(event->pos())) {
        event->ignore();
        return;
    }
    // The menu takes the mouse, and its commands may delete what a gesture
    // picked.
    CancelGesture();
    m_ptContext = event->pos();
    const CPoint q = ToDocument(m_ptContext);
    QMenu menu(this);
    switch (ClassifyPixel(m_ptContext)) {
        case PixelClass::Node: {
            menu.setTitle(tr("Node"));
            menu.addAction(tr("Delete"))->setData(kNodeDelete);
            QAction* final = menu.addAction(tr("Final"));
            final->setData(kNodeFinal);
            final->setCheckable(true);
            if (const CGraphNode* node = m_pDoc->FindNode(q)) {
                final->setChecked(node->IsFinal());
            }
            break;
        }
        case PixelClass::Label:
            menu.setTitle(tr("Edge"));
            menu.addAction(tr("Delete"))->setData(kEdgeDelete);
            menu.addAction(tr("Properties"))->setData(kEdgeProperties);
            break;
        default:
            menu.setTitle(tr("Graphs"));
            for (int i = 0; i < m_pDoc->GetGraphCount(); ++i) {
                menu.addAction(MenuText(m_pDoc->GetGraphName(i)))->setData(kFirstGraphId + i);
            }
            break;
    }
    // A menu that no menu bar opened sends its items' status tips to itself,
    // a window of its own, where the main window's message pane never hears
    // of them: pass them on, and the end of the menu with them.
    connect(&menu, &QMenu::hovered, this, [this](QAction* action) {
        QStatusTipEvent tip(action->statusTip());
        QCoreApplication::sendEvent(this, &tip);
    });
    QAction* chosen = menu.exec(event->globalPos());
    QStatusTipEvent idle{QString()};
    QCoreApplication::sendEvent(this, &idle);
    if (chosen == nullptr) {
        return;
    }
    const int id = chosen->data().toInt();
    switch (id) {
        case kEdgeDelete:
            OnEdgeDelete();
            break;
        case kEdgeProperties:
            OnEdgeProperties();
            break;
        case kNodeDelete:
            OnNodeDelete();
            break;
        case kNodeFinal:
            OnNodeFinal();
            break;
        default:
            OnSelectGraph(id);
            break;
    }
}

void CLumoView::OnSelectGraph(int nID) {
    if (nID < kFirstGraphId || nID > kLastGraphId) {
        return;
    }
    CancelGesture();
    if (m_pDoc->SelectGraph(nID - kFirstGraphId)) {
        Repaint();
    }
}

void CLumoView::OnEdgeDelete() {
    CancelGesture();
    if (m_pDoc->GetHistory().DeleteEdge(ToDocument(m_ptContext))) {
        Repaint();
    }
}

void CLumoView::OnEdgeProperties() {
    RunEdgeDialog(ToDocument(m_ptContext), true);
}

void CLumoView::OnNodeDelete() {
    CancelGesture();
    if (m_pDoc->GetHistory().DeleteNode(ToDocument(m_ptContext))) {
        Repaint();
    }
}

void CLumoView::OnNodeFinal() {
    // Through the document, which counts it as a change to save.
    if (m_pDoc->GetHistory().ToggleNodeFinal(ToDocument(m_ptContext))) {
        Repaint();
    }
}

void CLumoView::OnEditUndo() {
    StepHistory(&CEditHistory::Undo);
}

void CLumoView::OnEditRedo() {
    StepHistory(&CEditHistory::Redo);
}

void CLumoView::StepHistory(bool (CEditHistory::*step)()) {
    // The step may take away what a gesture picked.
    CancelGesture();
    if ((m_pDoc->GetHistory().*step)()) {
        Repaint();
    }
}

void CLumoView::OnToggleMode() {
    m_bEdgeMode = !m_bEdgeMode;
    m_actToggleMode->setChecked(m_bEdgeMode);
    UpdateCursor();
    emit modeChanged(m_bEdgeMode);
}

void CLumoView::OnGenerate() {
    m_pDoc->Generate();
}

void CLumoView::OnQuickHelp() {
    emit quickHelpRequested();
}

bool CLumoView::PrintTo(QPrinter* printer) {
    QPainter painter;
    if (!painter.begin(printer)) {
        return false;
    }
    CQtSurface dc(&painter, CRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, font());
    m_pDoc->Draw(&dc);
    painter.end();
    // Drawing for the printer set the labels' hit areas in printer units.
    Repaint();
    return true;
}
