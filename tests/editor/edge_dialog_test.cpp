// The edge properties dialog, run modally and driven through its controls:
// what it shows, how it rewrites what was typed, and what reaches the
// document.

#include <QRadioButton>
#include <functional>
#include <memory>

#include "canvas.h"

namespace {

using namespace lumo_test;
using Act = std::function<void(QWidget*)>;

void Click(QWidget* dlg, const char* name) {
    QTest::mouseClick(Button(dlg, name), Qt::LeftButton);
}
// Types into a box as the user would, after what it already holds.
void Type(QWidget* dlg, const char* name, const QString& text) {
    QLineEdit* box = Edit(dlg, name);
    box->end(false);
    for (QChar c : text) {  // QTest::keyClicks takes Latin-1 letters only
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
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
    }
    // Opens the dialog at pt and runs act on it once it is up.
    int Open(CPoint pt, bool existing, const Act& act) {
        m_dlg = std::make_unique<CEdgePropertiesDlg>(nullptr, pt, &m_doc, existing);
        WhenModal<CEdgePropertiesDlg>(act);
        const int result = m_dlg->DoModal();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        return result;
    }
    int RunNew(const Act& act) {
        m_doc.FindNode({100, 100});
        return Open(kNode2, false, act);
    }
    int EdgeCount() const { return m_doc.GetCurrentGraph()->GetElement(0)->GetEdgeCount(); }
    CEdge* Edge() const { return m_doc.GetCurrentGraph()->GetElement(0)->GetEdge(0); }

    Watchdog m_watchdog;
    CGrammer m_doc;
    std::unique_ptr<CEdgePropertiesDlg> m_dlg;
};

class EdgeDialog : public ::testing::Test, protected Form {};

// A Graph name is upper-cased by Unicode's simple mappings (one character
// for one, so "ß" stays) and may name MAIN; a Token keeps its case and
// blanks; an action gets one leading '@'.
TEST(EdgeDialogTyped, IsStoredAsTheRulesRewriteIt) {
    // The type, the input and action typed, the same as stored, the graph count.
    const std::tuple<const char*, const char*, const char*, int> cases[] = {
        {"graph", "expr|", "EXPR|", 2},
        {"graph", "main|", "MAIN|", 1},
        {"graph", "b\u00fccher_2x|", "B\u00dcCHER_2X|", 2},
        {"graph", "stra\u00dfe \u03c3\u03bf\u03c6\u03af\u03b1|",
         "STRA\u00dfE \u03a3\u039f\u03a6\u038a\u0391|", 2},
        {"token", "Id|", "Id|", 1},
        {"token", " |", " |", 1},
        {"token", "a|print", "a|@print", 1},
        {"token", "a|@print", "a|@print", 1},
        {"token", "a| x", "a|@ x", 1}};
    for (const auto& [type, typed, stored, graphs] : cases) {
        SCOPED_TRACE(std::string(type) + " " + typed);
        Form form;
        ASSERT_EQ(form.RunNew([type = type, typed = QString::fromUtf8(typed)](QWidget* dlg) {
            Click(dlg, type);
            Type(dlg, "input", typed.section('|', 0, 0));
            Type(dlg, "action", typed.section('|', 1));
            Click(dlg, "ok");
        }),
                  QDialog::Accepted);
        const bool graph = std::string(type) == "graph";
        ASSERT_EQ(form.EdgeCount(), 1);
        const CEdge* edge = form.Edge();
        EXPECT_EQ(edge->GetInput() + "|" + edge->GetAction(), stored);
        EXPECT_EQ(edge->IsGraph(), graph);
        EXPECT_EQ(form.m_dlg->m_strInput, edge->GetInput());
        EXPECT_EQ(form.m_dlg->m_nEdgeType,
                  graph ? CEdgePropertiesDlg::kGraph : CEdgePropertiesDlg::kToken);
        EXPECT_EQ(form.m_doc.GetGraphCount(), graphs);
        EXPECT_TRUE(!graph || form.m_doc.FindGraph(edge->GetInput()) == graphs - 1);
        EXPECT_TRUE(form.m_doc.IsModified());
    }
}

TEST_F(EdgeDialog, NewEdgeOpensEmptyAndRefusesAnEmptyInput) {
    EXPECT_EQ(RunNew([this](QWidget* dlg) {
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
                  EXPECT_TRUE(dlg->isVisible());
                  EXPECT_EQ(Edit(dlg, "action")->text(), "x");
                  EXPECT_FALSE(m_doc.IsModified());
                  Click(dlg, "cancel");
              }),
              QDialog::Rejected);
    EXPECT_EQ(EdgeCount(), 0);
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
        EXPECT_EQ(form.RunNew([&c](QWidget* dlg) {
            ASSERT_TRUE(QTest::qWaitForWindowActive(dlg));
            Type(dlg, "input", "abc");
            if (c.tabs == -2) {
                dlg->close();
                return;
            }
            for (int i = 0; i < c.tabs; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            EXPECT_TRUE(c.tabs < 0 || QApplication::focusWidget()->objectName() == c.focused);
            QTest::keyClick(QApplication::focusWidget(),
                            c.tabs < 0 ? Qt::Key_Escape : Qt::Key_Return);
        }),
                  c.result);
        EXPECT_EQ(form.EdgeCount(), c.result == QDialog::Accepted ? 1 : 0);
        EXPECT_TRUE(form.EdgeCount() == 0 || form.Edge()->GetInput() == "abc");
    }
}

// MAIN with the Graph edge 1 -EXPR/@print-> 2, its label at (280..320,
// 180..200).
class ExistingEdge : public EdgeDialog {
protected:
    static constexpr CPoint kOnLabel{300, 190};
    ExistingEdge() {
        m_doc.FindNode({100, 100});
        m_doc.AddEdge(kNode2, "EXPR", "@print", true, false);
        Edge()->SetLabelRect(CRect{280, 180, 320, 200});
    }
    std::string Stored() const {
        return std::to_string(EdgeCount()) + Edge()->GetInput() + Edge()->GetAction() +
               (Edge()->IsGraph() ? "|graph" : "|token");
    }
};

TEST_F(ExistingEdge, ShowsTheEdgeAndCancelOrOkKeepsItButTokenRetypesIt) {
    const struct {
        CPoint at;
        const char* shown;
        bool retype;
        const char* button;
        int edgeType;
        const char* stored;
    } cases[] = {
        {kOnLabel, "EXPR|@print|graph", false, "cancel", CEdgePropertiesDlg::kGraph,
         "1EXPR@print|graph"},
        {kOnLabel, "EXPR|@print|graph", false, "ok", CEdgePropertiesDlg::kGraph,
         "1EXPR@print|graph"},
        {{600, 600}, "|", false, "ok", 0, "1EXPR@print|graph"},  // no edge there: no type
        {{600, 600}, "|", true, "cancel", 0, "1EXPR@print|graph"},
        {kOnLabel, "EXPR|@print|graph", true, "ok", CEdgePropertiesDlg::kToken,
         "1EXPR@print|token"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown + std::string(c.button));
        Open(c.at, true, [&c](QWidget* dlg) {
            EXPECT_EQ(Shown(dlg), c.shown);
            if (c.retype) {  // a type can still be chosen
                Click(dlg, "graph");
                Click(dlg, "token");
                EXPECT_FALSE(Button(dlg, "graph")->isChecked());
            }
            if (*c.shown == '|') {
                Type(dlg, "input", "x");
            }
            Click(dlg, c.button);
        });
        EXPECT_EQ(Stored(), c.stored);
        EXPECT_EQ(m_dlg->m_nEdgeType, c.edgeType);
        EXPECT_EQ(m_doc.GetGraphCount(), 2);
    }
}

}  // namespace
