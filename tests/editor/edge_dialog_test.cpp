// The edge properties dialog, run modally and driven through its controls:
// what it shows, how it rewrites what was typed, and what reaches the
// document.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <memory>

#include "editor/edge_properties_dlg.h"
#include "model/edge.h"
#include "model/grammar.h"
#include "support/modal.h"

namespace {

using lumo_test::WhenModal;

QLineEdit* Box(QWidget* dlg, const char* name) {
    return dlg->findChild<QLineEdit*>(QString::fromLatin1(name));
}
QRadioButton* Radio(QWidget* dlg, const char* name) {
    return dlg->findChild<QRadioButton*>(QString::fromLatin1(name));
}
QPushButton* Button(QWidget* dlg, const char* name) {
    return dlg->findChild<QPushButton*>(QString::fromLatin1(name));
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
// Fills the form and presses OK.
std::function<void(QWidget*)> Enter(const QString& input, const QString& action, const char* type) {
    return [=](QWidget* dlg) {
        Click(dlg, type);
        Type(dlg, "input", input);
        Type(dlg, "action", action);
        Click(dlg, "ok");
    };
}

// MAIN: node 1 at (100, 100), picked as the source of a new edge, and node 2
// at (300, 100), the target.
class EdgeDialog : public ::testing::Test {
protected:
    static constexpr CPoint kNode2{300, 100};

    EdgeDialog() {
        m_doc.AddNode(kNode2);
        m_doc.SetModifiedFlag(false);
    }

    // Opens the dialog at pt and runs act on it once it is up.
    int RunDialog(CPoint pt, bool existing, const std::function<void(QWidget*)>& act) {
        m_dlg = std::make_unique<CEdgePropertiesDlg>(nullptr, pt, &m_doc, existing);
        WhenModal<CEdgePropertiesDlg>([this, act](QWidget* modal) {
            EXPECT_EQ(modal, m_dlg.get());
            act(modal);
        });
        const int result = m_dlg->DoModal();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        return result;
    }
    int RunNew(const std::function<void(QWidget*)>& act) {
        m_doc.FindNode({100, 100});
        return RunDialog(kNode2, false, act);
    }

    int EdgeCount() const { return m_doc.GetCurrentGraph()->GetElement(0)->GetEdgeCount(); }
    CEdge* Edge(int i = 0) const { return m_doc.GetCurrentGraph()->GetElement(0)->GetEdge(i); }

    lumo_test::Watchdog m_watchdog;
    CGrammer m_doc;
    std::unique_ptr<CEdgePropertiesDlg> m_dlg;
};

TEST_F(EdgeDialog, NewEdgeOpensEmptyWithTokenChecked) {
    const int result = RunNew([](QWidget* dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Edge Properties ...");
        EXPECT_EQ(Box(dlg, "input")->text(), "");
        EXPECT_EQ(Box(dlg, "action")->text(), "");
        EXPECT_TRUE(Radio(dlg, "token")->isChecked());
        EXPECT_FALSE(Radio(dlg, "graph")->isChecked());
        Click(dlg, "cancel");
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(EdgeCount(), 0);
}

TEST_F(EdgeDialog, GraphNameIsUpperCasedAndCreatesTheGraph) {
    ASSERT_EQ(RunNew(Enter("expr", "", "graph")), QDialog::Accepted);
    EXPECT_EQ(m_dlg->m_strInput, "EXPR");
    EXPECT_EQ(m_dlg->m_nEdgeType, CEdgePropertiesDlg::kGraph);
    ASSERT_EQ(EdgeCount(), 1);
    EXPECT_EQ(Edge()->GetInput(), "EXPR");
    EXPECT_TRUE(Edge()->IsGraph());
    EXPECT_EQ(m_doc.GetGraphCount(), 2);
    EXPECT_EQ(m_doc.FindGraph("EXPR"), 1);
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(EdgeDialog, GraphNamedMainInLowerCaseIsMain) {
    ASSERT_EQ(RunNew(Enter("main", "", "graph")), QDialog::Accepted);
    EXPECT_EQ(Edge()->GetInput(), "MAIN");
    EXPECT_EQ(m_doc.GetGraphCount(), 1);
}

TEST_F(EdgeDialog, UpperCasingChangesOnlyAsciiLetters) {
    ASSERT_EQ(RunNew(Enter(QString::fromUtf8("b\u00fccher_2x"), "", "graph")), QDialog::Accepted);
    EXPECT_EQ(Edge()->GetInput(),
              "B\xc3\xbc"
              "CHER_2X");
}

TEST_F(EdgeDialog, TokenKeepsItsCaseAndCreatesNoGraph) {
    ASSERT_EQ(RunNew(Enter("Id", "", "token")), QDialog::Accepted);
    EXPECT_EQ(m_dlg->m_nEdgeType, CEdgePropertiesDlg::kToken);
    EXPECT_EQ(Edge()->GetInput(), "Id");
    EXPECT_FALSE(Edge()->IsGraph());
    EXPECT_EQ(m_doc.GetGraphCount(), 1);
}

TEST_F(EdgeDialog, BlankInputIsAcceptedUntrimmed) {
    ASSERT_EQ(RunNew(Enter(" ", "", "token")), QDialog::Accepted);
    EXPECT_EQ(Edge()->GetInput(), " ");
}

struct ActionCase {
    const char* typed;
    const char* stored;
};

class EdgeAction : public EdgeDialog, public ::testing::WithParamInterface<ActionCase> {};

TEST_P(EdgeAction, StoredWithOneLeadingAt) {
    ASSERT_EQ(RunNew(Enter("a", GetParam().typed, "token")), QDialog::Accepted);
    EXPECT_EQ(Edge()->GetAction(), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Typed, EdgeAction,
                         ::testing::Values(ActionCase{"print", "@print"},
                                           ActionCase{"@print", "@print"}, ActionCase{"", ""},
                                           ActionCase{" x", "@ x"}));

TEST_F(EdgeDialog, EmptyInputIsRefusedAndTheDialogStaysOpen) {
    const int result = RunNew([this](QWidget* dlg) {
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

TEST_F(EdgeDialog, EscapeAndCloseBoxCancel) {
    EXPECT_EQ(RunNew([](QWidget* dlg) {
                  Type(dlg, "input", "a");
                  QTest::keyClick(dlg, Qt::Key_Escape);
              }),
              QDialog::Rejected);
    EXPECT_EQ(RunNew([](QWidget* dlg) {
                  Type(dlg, "input", "a");
                  dlg->close();
              }),
              QDialog::Rejected);
    EXPECT_EQ(EdgeCount(), 0);
}

TEST_F(EdgeDialog, KeyboardStartsOnOkAndTabsThroughButtonsThenBoxes) {
    RunNew([](QWidget* dlg) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg));
        EXPECT_EQ(QApplication::focusWidget(), Button(dlg, "ok"));
        for (const char* next : {"cancel", "input", "action", "ok"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            EXPECT_EQ(QApplication::focusWidget()->objectName(), next);
        }
        QTest::keyClick(dlg, Qt::Key_Escape);
    });
}

TEST_F(EdgeDialog, EnterPressesOkFromTheBoxes) {
    const int result = RunNew([](QWidget* dlg) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg));
        Box(dlg, "input")->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), "abc");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    ASSERT_EQ(EdgeCount(), 1);
    EXPECT_EQ(Edge()->GetInput(), "abc");
}

TEST_F(EdgeDialog, EnterOnCancelCancels) {
    const int result = RunNew([](QWidget* dlg) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg));
        Type(dlg, "input", "abc");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), Button(dlg, "cancel"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(EdgeCount(), 0);
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
};

TEST_F(ExistingEdge, ShowsTheEdgeAndCancelKeepsIt) {
    const int result = RunDialog(kOnLabel, true, [](QWidget* dlg) {
        EXPECT_EQ(Box(dlg, "input")->text(), "EXPR");
        EXPECT_EQ(Box(dlg, "action")->text(), "@print");
        EXPECT_TRUE(Radio(dlg, "graph")->isChecked());
        EXPECT_FALSE(Radio(dlg, "token")->isChecked());
        Click(dlg, "cancel");
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(Edge()->GetInput(), "EXPR");
    EXPECT_EQ(Edge()->GetAction(), "@print");
    EXPECT_TRUE(Edge()->IsGraph());
    // Looking the edge up starts a change of it.
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(ExistingEdge, OkWithoutChangesKeepsEverything) {
    ASSERT_EQ(RunDialog(kOnLabel, true, [](QWidget* dlg) { Click(dlg, "ok"); }), QDialog::Accepted);
    EXPECT_EQ(EdgeCount(), 1);
    EXPECT_EQ(Edge()->GetInput(), "EXPR");
    EXPECT_EQ(Edge()->GetAction(), "@print");
    EXPECT_TRUE(Edge()->IsGraph());
    EXPECT_EQ(m_doc.GetGraphCount(), 2);
}

TEST_F(ExistingEdge, TokenFromGraphKeepsTheUpperCaseName) {
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
    const int result = RunDialog({600, 600}, true, [](QWidget* dlg) {
        EXPECT_EQ(Box(dlg, "input")->text(), "");
        EXPECT_EQ(Box(dlg, "action")->text(), "");
        EXPECT_FALSE(Radio(dlg, "graph")->isChecked());
        EXPECT_FALSE(Radio(dlg, "token")->isChecked());
        Type(dlg, "input", "x");
        Click(dlg, "ok");
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(m_dlg->m_nEdgeType, 0);
    EXPECT_EQ(EdgeCount(), 1);
    EXPECT_EQ(Edge()->GetInput(), "EXPR");
    EXPECT_TRUE(Edge()->IsGraph());
}

TEST_F(ExistingEdge, NoTypeShownStillLetsOneBeChosen) {
    RunDialog({600, 600}, true, [](QWidget* dlg) {
        Click(dlg, "graph");
        Click(dlg, "token");
        EXPECT_FALSE(Radio(dlg, "graph")->isChecked());
        EXPECT_TRUE(Radio(dlg, "token")->isChecked());
        Click(dlg, "cancel");
    });
}

}  // namespace
