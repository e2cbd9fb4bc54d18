#pragma once

// Answers for dialogs and menus, and a canvas driven by real mouse events and keys.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTest>

#include "editor/edge_properties_dlg.h"
#include "editor/lumo_view.h"
#include "model/grammar.h"
#include "support/grammar_builder.h"
#include "support/modal.h"
#include "support/temp_dir.h"

namespace lumo_test {

using Pixel = CLumoView::PixelClass;

inline QAbstractButton* Button(QWidget* w, const char* name) {
    return w->findChild<QAbstractButton*>(name);
}
inline QLineEdit* Edit(QWidget* w, const char* name) {
    return w->findChild<QLineEdit*>(name);
}

// Clicks the item with that text in the next popup menu (or closes it) and
// reports the texts offered, a checked one marked with '*'.
inline void ChooseFromMenu(const QString& text, QStringList* offered = nullptr) {
    WhenModal<QMenu>([=](QWidget* w) {
        auto* menu = static_cast<QMenu*>(w);
        QAction* chosen = nullptr;
        for (QAction* a : menu->actions()) {
            offered != nullptr ? offered->append(a->text() + (a->isChecked() ? "*" : "")) : void();
            chosen = a->text() == text ? a : chosen;
        }
        chosen == nullptr
            ? void(menu->close())
            : QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
    });
}

// Records the next message box as "caption|text", checks its icon (unless -1), answers it.
inline void Answer(QString* shown, QMessageBox::StandardButton button = QMessageBox::NoButton,
                   int icon = -1) {
    WhenModal<QMessageBox>([=](QWidget* w) {
        auto* box = static_cast<QMessageBox*>(w);
        shown != nullptr ? void(*shown = box->windowTitle() + "|" + box->text()) : void();
        EXPECT_TRUE(icon < 0 || box->icon() == icon) << box->text().toStdString();
        box->button(button) != nullptr ? box->button(button)->click() : box->accept();
    });
}

// Types path into the next file dialog and presses Enter.
inline void ChooseFile(const QString& path) {
    WhenModal<QFileDialog>([=](QWidget* w) {
        Edit(w, "fileNameEdit")->setText(path);
        QTest::keyClick(Edit(w, "fileNameEdit"), Qt::Key_Return);
    });
}

class Canvas : public ::testing::Test {
protected:
    Canvas() : m_view(&m_doc) {
        m_view.resize(800, 600);
        m_view.show();
        m_view.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_view));
    }
    ~Canvas() override { QTest::mouseRelease(Vp(), Qt::LeftButton, {}, QPoint(790, 590)); }

    QWidget* Vp() const { return m_view.viewport(); }
    // Viewport point of a document point.
    QPoint At(CPoint doc) const {
        return QPoint(doc.x - m_view.horizontalScrollBar()->value(),
                      doc.y - m_view.verticalScrollBar()->value());
    }
    void Press(CPoint p) { QTest::mousePress(Vp(), Qt::LeftButton, {}, At(p)); }
    void Release(CPoint p) { QTest::mouseRelease(Vp(), Qt::LeftButton, {}, At(p)); }
    void Click(CPoint p) { QTest::mouseClick(Vp(), Qt::LeftButton, {}, At(p)); }
    void Drag(CPoint from, CPoint to) {
        Press(from);
        QTest::mouseMove(Vp(), (At(from) + At(to)) / 2);
        QTest::mouseMove(Vp(), At(to));
        Release(to);
    }
    void RightClick(CPoint doc) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, At(doc), Vp()->mapToGlobal(At(doc)));
        QApplication::sendEvent(Vp(), &event);
    }
    void Key(QKeyCombination key) { QTest::keyClick(&m_view, key.key(), key.keyboardModifiers()); }
    void SetEdgeMode(bool edges) {
        m_view.IsEdgeMode() != edges ? m_view.ToggleModeAction()->trigger() : void();
    }
    // MAIN: 1 (100, 100) -label-> 2 (400, 100), drawn.
    void TwoNodes(const char* label = nullptr) {
        m_doc.AddNode({400, 100});
        label != nullptr ? AddEdge(m_doc, 1, 2, label) : void();
        m_view.Repaint();
    }
    CGraphElement* Slot(int i) const { return m_doc.GetCurrentGraph()->GetElement(i); }
    int Nodes() const { return m_doc.GetCurrentGraph()->GetNodeCount(); }
    Pixel Under(CPoint doc) { return m_view.ClassifyPixel(At(doc)); }

    Watchdog m_watchdog;
    CGrammer m_doc;
    CLumoView m_view;
};

}  // namespace lumo_test
