// The edge properties dialog, run modally and driven through its controls;
// the rules it applies to what was typed are the model's, tested there.

#include <functional>
#include <memory>

#include "canvas.h"

namespace {

using namespace lumo_test;
using Act = std::function<void(QWidget*)>;

void Click(QWidget* dlg, const char* name) {
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

// MAIN: node 1 at (100, 100), picked as the source of a new edge, and node 2
// at (300, 100), the target.
struct Form {
    static constexpr CPoint kNode2{300, 100};
    Form() {
        m_doc.AddNode(kNode2);
        m_doc.SetModifiedFlag(false);
        m_doc.FindNode({100, 100});
    }
    // Opens the dialog at pt and runs act on it once it is up.
    int Open(CPoint pt, bool existing, const Act& act) {
        m_dlg = std::make_unique<CEdgePropertiesDlg>(nullptr, pt, &m_doc, existing);
        WhenModal<CEdgePropertiesDlg>(act);
        const int result = m_dlg->DoModal();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        return result;
    }
    // The edge count of node 1, and its first edge as input, action, type.
    std::string Stored() const {
        const CGraphElement* node = m_doc.GetCurrentGraph()->GetElement(0);
        const CEdge* e = node->GetEdgeCount() > 0 ? node->GetEdge(0) : nullptr;
        return std::to_string(node->GetEdgeCount()) +
               (e == nullptr
                    ? ""
                    : e->GetInput() + "|" + e->GetAction() + (e->IsGraph() ? "|graph" : "|token"));
    }

    Watchdog m_watchdog;
    CGrammer m_doc;
    std::unique_ptr<CEdgePropertiesDlg> m_dlg;
};

class EdgeDialog : public ::testing::Test, protected Form {};

// An empty input is refused and the form stays as typed; what is then typed
// is stored as the rules rewrite it (a Graph name upper-cased, in UTF-8, its
// graph created; the action given its '@').
TEST_F(EdgeDialog, NewEdgeRefusesAnEmptyInputAndStoresTheRewrittenFields) {
    EXPECT_EQ(Open(kNode2, false,
                   [this](QWidget* dlg) {
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
                       Click(dlg, "ok");
                       EXPECT_EQ(*seen, "Error|Input string can not be null !");
                       EXPECT_EQ(Shown(dlg), "|x|token");
                       EXPECT_FALSE(m_doc.IsModified());
                       Click(dlg, "graph");
                       Type(dlg, "input", QString::fromUtf8("b\u00fccher"));
                       Click(dlg, "ok");
                   }),
              QDialog::Accepted);
    EXPECT_EQ(Stored(), "1B\u00dcCHER|@x|graph");
    EXPECT_EQ(m_dlg->m_strInput, "B\u00dcCHER");
    EXPECT_EQ(m_dlg->m_nEdgeType, CEdgePropertiesDlg::kGraph);
    EXPECT_EQ(m_doc.FindGraph("B\u00dcCHER"), 1);
    EXPECT_TRUE(m_doc.IsModified());
}

// The keyboard: focus starts on OK, Tab runs through the buttons and then
// the boxes (never the type), Enter presses the focused button, Escape and
// the close box cancel.
TEST(EdgeDialogKeys, FocusTabEnterEscapeAndTheCloseBox) {
    const struct {
        int tabs;  // -1: Escape, -2: the close box
        const char* focused;
        int result;
    } cases[] = {{0, "ok", QDialog::Accepted},    {1, "cancel", QDialog::Rejected},
                 {2, "input", QDialog::Accepted}, {3, "action", QDialog::Accepted},
                 {6, "input", QDialog::Accepted}, {-1, "", QDialog::Rejected},
                 {-2, "", QDialog::Rejected}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tabs);
        Form form;
        EXPECT_EQ(form.Open(Form::kNode2, false,
                            [&c](QWidget* dlg) {
                                ASSERT_TRUE(QTest::qWaitForWindowActive(dlg));
                                Type(dlg, "input", "abc");
                                if (c.tabs == -2) {
                                    return void(dlg->close());
                                }
                                for (int i = 0; i < c.tabs; ++i) {
                                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                                }
                                EXPECT_TRUE(c.tabs < 0 ||
                                            QApplication::focusWidget()->objectName() == c.focused);
                                QTest::keyClick(QApplication::focusWidget(),
                                                c.tabs < 0 ? Qt::Key_Escape : Qt::Key_Return);
                            }),
                  c.result);
        EXPECT_EQ(form.Stored(), c.result == QDialog::Accepted ? "1abc||token" : "0");
    }
}

// An existing edge, the Graph edge 1 -EXPR/@print-> 2 labelled at (280..320,
// 180..200): shown as it is, kept by Cancel or OK, retyped by a click on
// Token; at a point with no edge the form is empty and changes nothing.
TEST_F(EdgeDialog, ExistingEdgeIsShownAndCancelOrOkKeepsItButTokenRetypesIt) {
    m_doc.AddEdge(kNode2, "EXPR", "@print", true, false);
    m_doc.GetCurrentGraph()->GetElement(0)->GetEdge(0)->SetLabelRect(CRect{280, 180, 320, 200});
    const CPoint onLabel{300, 190}, nowhere{600, 600};
    const struct {
        CPoint at;
        bool retype;
        const char* button;
        int edgeType;
        const char* stored;
    } cases[] = {
        {onLabel, false, "cancel", CEdgePropertiesDlg::kGraph, "1EXPR|@print|graph"},
        {onLabel, false, "ok", CEdgePropertiesDlg::kGraph, "1EXPR|@print|graph"},
        {nowhere, false, "ok", 0, "1EXPR|@print|graph"},  // no edge there: no type
        {nowhere, true, "cancel", 0, "1EXPR|@print|graph"},
        {onLabel, true, "ok", CEdgePropertiesDlg::kToken, "1EXPR|@print|token"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.button) + (c.retype ? " retyped" : ""));
        Open(c.at, true, [&c, on = c.at == onLabel](QWidget* dlg) {
            EXPECT_EQ(Shown(dlg), on ? "EXPR|@print|graph" : "|");
            if (c.retype) {  // a type can still be chosen
                Click(dlg, "graph");
                Click(dlg, "token");
                EXPECT_FALSE(Button(dlg, "graph")->isChecked());
            }
            on ? void() : Type(dlg, "input", "x");
            Click(dlg, c.button);
        });
        EXPECT_EQ(Stored(), c.stored);
        EXPECT_EQ(m_dlg->m_nEdgeType, c.edgeType);
        EXPECT_EQ(m_doc.GetGraphCount(), 2);
    }
}

}  // namespace
