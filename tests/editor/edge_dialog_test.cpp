// The edge properties dialog, run modally and driven through its controls:
// what it shows, how it rewrites what was typed, and what reaches the
// document.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <memory>
#include <tuple>

#include "editor/edge_properties_dlg.h"
#include "model/edge.h"
#include "model/grammar.h"
#include "support/modal.h"

namespace {

using lumo_test::WhenModal;
using Act = std::function<void(QWidget*)>;

QLineEdit* Box(QWidget* dlg, const char* name) {
    return dlg->findChild<QLineEdit*>(QString::fromLatin1(name));
}
void Click(QWidget* dlg, const char* name) {
    QTest::mouseClick(dlg->findChild<QAbstractButton*>(QString::fromLatin1(name)), Qt::LeftButton);
}
// Types into a box as the user would, after what it already holds.
void Type(QWidget* dlg, const char* name, const QString& text) {
    QLineEdit* box = Box(dlg, name);
    box->end(false);
    // QTest::keyClicks takes Latin-1 letters only.
    for (QChar c : text) {
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}
// What the form shows: input, action, and which type is checked.
std::string Shown(QWidget* dlg) {
    return (Box(dlg, "input")->text() + "|" + Box(dlg, "action")->text()).toStdString() +
           (dlg->findChild<QRadioButton*>("graph")->isChecked() ? "|graph" : "") +
           (dlg->findChild<QRadioButton*>("token")->isChecked() ? "|token" : "");
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
    int RunDialog(CPoint pt, bool existing, const Act& act) {
        m_dlg = std::make_unique<CEdgePropertiesDlg>(nullptr, pt, &m_doc, existing);
        WhenModal<CEdgePropertiesDlg>([this, act](QWidget* modal) {
            EXPECT_EQ(modal, m_dlg.get());
            act(modal);
        });
        const int result = m_dlg->DoModal();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        return result;
    }
    int RunNew(const Act& act) {
        m_doc.FindNode({100, 100});
        return RunDialog(kNode2, false, act);
    }

    int EdgeCount() const { return m_doc.GetCurrentGraph()->GetElement(0)->GetEdgeCount(); }
    CEdge* Edge() const { return m_doc.GetCurrentGraph()->GetElement(0)->GetEdge(0); }

    lumo_test::Watchdog m_watchdog;
    CGrammer m_doc;
    std::unique_ptr<CEdgePropertiesDlg> m_dlg;
};

class EdgeDialog : public ::testing::Test, protected Form {};

// A Graph name is upper-cased by Unicode's simple mappings (one character
// for one, so "ß" stays) and may name MAIN; a Token
// keeps its case and blanks; an action gets one leading '@'.
TEST(EdgeDialogTyped, IsStoredAsTheRulesRewriteIt) {
    // The type, the input and action typed, the same as stored, the graph count.
    const std::tuple<const char*, const char*, const char*, int> cases[] = {
        {"graph", "expr|", "EXPR|", 2},
        {"graph", "main|", "MAIN|", 1},
        {"graph", "b\u00fccher_2x|", "B\u00dcCHER_2X|", 2},
        {"graph", "\u00f1and\u00fa|", "\u00d1AND\u00da|", 2},
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
        EXPECT_TRUE(!graph || form.m_doc.FindGraph(edge->GetInput()) == graphs - 1)
            << "the graph named";
        EXPECT_TRUE(form.m_doc.IsModified());
    }
}

TEST_F(EdgeDialog, NewEdgeOpensEmptyAndRefusesAnEmptyInput) {
    const int result = RunNew([this](QWidget* dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Edge Properties ...");
        EXPECT_EQ(Shown(dlg), "||token");
        Type(dlg, "action", "x");
        auto boxSeen = std::make_shared<bool>(false);
        WhenModal<QMessageBox>([boxSeen](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            *boxSeen = true;
            EXPECT_EQ(box->windowTitle(), "Error");
            EXPECT_EQ(box->text(), "Input string can not be null !");
            EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
            EXPECT_EQ(box->buttons().size(), 1);
            EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        Click(dlg, "ok");
        EXPECT_TRUE(*boxSeen);
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(Box(dlg, "action")->text(), "x");
        EXPECT_EQ(EdgeCount(), 0);
        EXPECT_FALSE(m_doc.IsModified());
        Click(dlg, "cancel");
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(EdgeCount(), 0);
}

TEST_F(EdgeDialog, EscapeTheCloseBoxAndEnterOnCancelCancel) {
    for (const Act& cancel : std::initializer_list<Act>{
             [](QWidget* dlg) { QTest::keyClick(dlg, Qt::Key_Escape); },
             [](QWidget* dlg) { dlg->close(); },
             [](QWidget* dlg) {
                 ASSERT_TRUE(QTest::qWaitForWindowActive(dlg));
                 QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                 ASSERT_EQ(QApplication::focusWidget()->objectName(), "cancel");
                 QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
             }}) {
        EXPECT_EQ(RunNew([&cancel](QWidget* dlg) {
                      Type(dlg, "input", "abc");
                      cancel(dlg);
                  }),
                  QDialog::Rejected);
        EXPECT_EQ(EdgeCount(), 0);
    }
}

TEST_F(EdgeDialog, KeyboardStartsOnOkTabsThroughButtonsThenBoxesAndEnterPressesOk) {
    const int result = RunNew([](QWidget* dlg) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg));
        EXPECT_EQ(QApplication::focusWidget()->objectName(), "ok");
        for (const char* next : {"cancel", "input", "action", "ok", "cancel", "input"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            EXPECT_EQ(QApplication::focusWidget()->objectName(), next);
        }
        QTest::keyClicks(QApplication::focusWidget(), "abc");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    ASSERT_EQ(EdgeCount(), 1);
    EXPECT_EQ(Edge()->GetInput(), "abc");
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
        m_doc.SetModifiedFlag(false);
    }
    void ExpectUnchanged() const {
        EXPECT_EQ(EdgeCount(), 1);
        EXPECT_EQ(Edge()->GetInput(), "EXPR");
        EXPECT_EQ(Edge()->GetAction(), "@print");
        EXPECT_TRUE(Edge()->IsGraph());
    }
};

TEST_F(ExistingEdge, ShowsTheEdgeAndCancelOrOkKeepsItButTokenRetypesIt) {
    EXPECT_EQ(RunDialog(kOnLabel, true,
                        [](QWidget* dlg) {
                            EXPECT_EQ(Shown(dlg), "EXPR|@print|graph");
                            Click(dlg, "cancel");
                        }),
              QDialog::Rejected);
    ExpectUnchanged();
    EXPECT_TRUE(m_doc.IsModified()) << "looking the edge up starts a change of it";

    ASSERT_EQ(RunDialog(kOnLabel, true, [](QWidget* dlg) { Click(dlg, "ok"); }), QDialog::Accepted);
    ExpectUnchanged();
    EXPECT_EQ(m_doc.GetGraphCount(), 2);

    // From Graph to Token, the upper-cased name stays.
    ASSERT_EQ(RunDialog(kOnLabel, true,
                        [](QWidget* dlg) {
                            Click(dlg, "token");
                            Click(dlg, "ok");
                        }),
              QDialog::Accepted);
    EXPECT_EQ(Edge()->GetInput(), "EXPR");
    EXPECT_FALSE(Edge()->IsGraph());
}

TEST_F(ExistingEdge, NoEdgeAtThePointShowsNoTypeAndChangesNothing) {
    EXPECT_EQ(RunDialog({600, 600}, true,
                        [](QWidget* dlg) {
                            EXPECT_EQ(Shown(dlg), "|");
                            Type(dlg, "input", "x");
                            Click(dlg, "ok");
                        }),
              QDialog::Accepted);
    EXPECT_EQ(m_dlg->m_nEdgeType, 0);
    ExpectUnchanged();

    // A type can still be chosen.
    RunDialog({600, 600}, true, [](QWidget* dlg) {
        Click(dlg, "graph");
        Click(dlg, "token");
        EXPECT_EQ(Shown(dlg), "||token");
        Click(dlg, "cancel");
    });
}

}  // namespace
