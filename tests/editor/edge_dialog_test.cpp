// The edge dialog as the canvas opens it, driven through its controls; the
// rules it applies to what was typed are the model's, tested there.

#include "canvas.h"

namespace {

using namespace lumo_test;

void Push(QWidget* dlg, const char* name) {
    QTest::mouseClick(Button(dlg, name), Qt::LeftButton);
}
// Types after what the box holds (QTest::keyClicks takes Latin-1 only).
void Type(QWidget* dlg, const char* name, const QString& text) {
    Edit(dlg, name)->end(false);
    for (QChar c : text) {
        QTest::sendKeyEvent(QTest::Click, Edit(dlg, name), Qt::Key_unknown, c, Qt::NoModifier);
    }
}
// What the form shows: input, action, and which type is checked.
std::string Shown(QWidget* dlg) {
    return (Edit(dlg, "input")->text() + "|" + Edit(dlg, "action")->text()).toStdString() +
           (Button(dlg, "graph")->isChecked() ? "|graph" : "") +
           (Button(dlg, "token")->isChecked() ? "|token" : "");
}

// Node 1 and node 2 in edges mode; edges are drawn from 1 to 2.
class EdgeDialog : public Canvas {
protected:
    EdgeDialog() {
        TwoNodes();
        SetEdgeMode(true);
        m_doc.SetModifiedFlag(false);
    }
    // The edge count of node 1, and its last edge as input, action, type.
    std::string Stored() const {
        const int n = Slot(0)->GetEdgeCount();
        const CEdge* e = n > 0 ? Slot(0)->GetEdge(n - 1) : nullptr;
        return std::to_string(n) + (e == nullptr ? ""
                                                 : e->GetInput() + "|" + e->GetAction() +
                                                       (e->IsGraph() ? "|graph" : "|token"));
    }
};

// An empty input is refused and the form stays as typed; what is then typed
// is stored as the rules rewrite it.
TEST_F(EdgeDialog, NewEdgeRefusesAnEmptyInputAndStoresTheRewrittenFields) {
    WhenModal<CEdgePropertiesDlg>([this](QWidget* dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Edge Properties ...");
        EXPECT_EQ(Shown(dlg), "||token");
        Type(dlg, "action", "x");
        auto seen = std::make_shared<QString>();
        WhenModal<QMessageBox>([seen](QWidget* modal) {
            auto* box = static_cast<QMessageBox*>(modal);
            *seen = box->windowTitle() + "|" + box->text();
            EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
            EXPECT_EQ(box->buttons().size(), 1);
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        Push(dlg, "ok");
        EXPECT_EQ(*seen, "Error|Input string can not be null !");
        EXPECT_EQ(Shown(dlg), "|x|token");
        EXPECT_FALSE(m_doc.IsModified());
        Push(dlg, "graph");
        Type(dlg, "input", QString::fromUtf8("b\u00fccher"));
        Push(dlg, "ok");
    });
    Drag({100, 100}, {400, 100});
    EXPECT_EQ(Stored(), "1B\u00dcCHER|@x|graph");
    EXPECT_EQ(m_doc.FindGraph("B\u00dcCHER"), 1);
    EXPECT_TRUE(m_doc.IsModified());
}

// Focus starts on OK; Tab runs through the buttons, then the boxes, never
// the type; Enter presses the focused button; Escape cancels.
TEST_F(EdgeDialog, FocusTabEnterAndEscape) {
    const struct {
        int tabs;  // -1: Escape
        const char* focused;
        bool accepted;
    } cases[] = {{0, "ok", true},     {1, "cancel", false}, {2, "input", true},
                 {3, "action", true}, {6, "input", true},   {-1, "", false}};
    int edges = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tabs);
        WhenModal<CEdgePropertiesDlg>([&c](QWidget* dlg) {
            ASSERT_TRUE(QTest::qWaitFor([dlg] { return dlg->isAncestorOf(qApp->focusWidget()); }));
            Type(dlg, "input", "abc");
            for (int i = 0; i < c.tabs; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            EXPECT_TRUE(c.tabs < 0 || QApplication::focusWidget()->objectName() == c.focused);
            QTest::keyClick(QApplication::focusWidget(),
                            c.tabs < 0 ? Qt::Key_Escape : Qt::Key_Return);
        });
        Drag({100, 100}, {400, 100});
        edges += c.accepted;
        EXPECT_EQ(Stored(), std::to_string(edges) + (edges > 0 ? "abc||token" : ""));
    }
}

// An existing edge, the Graph edge 1 -EXPR/@print-> 2, opened by Properties:
// shown as it is, kept by Cancel or OK, retyped by a click on Token.
TEST_F(EdgeDialog, ExistingEdgeIsShownAndCancelOrOkKeepsItButTokenRetypesIt) {
    AddEdge(m_doc, 1, 2, "EXPR", "@print", true);
    m_view.Repaint();
    const CPoint label = Middle(Slot(0)->GetEdge(0)->GetLabelRect());
    const struct {
        bool retype;
        const char* button;
        const char* stored;
    } cases[] = {{false, "cancel", "1EXPR|@print|graph"},
                 {false, "ok", "1EXPR|@print|graph"},
                 {true, "cancel", "1EXPR|@print|graph"},
                 {true, "ok", "1EXPR|@print|token"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.button) + (c.retype ? " retyped" : ""));
        WhenModal<CEdgePropertiesDlg>([&c](QWidget* dlg) {
            EXPECT_EQ(Shown(dlg), "EXPR|@print|graph");
            if (c.retype) {  // a type can still be chosen
                Push(dlg, "graph");
                Push(dlg, "token");
                EXPECT_FALSE(Button(dlg, "graph")->isChecked());
            }
            Push(dlg, c.button);
        });
        ChooseFromMenu("Properties");
        RightClick(label);
        EXPECT_EQ(Stored(), c.stored);
        EXPECT_EQ(m_doc.GetGraphCount(), 2);
    }
}

}  // namespace
