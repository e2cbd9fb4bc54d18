// The edge dialog as the canvas opens it; its rules for what is typed are the model's.

#include "canvas.h"

namespace {

using namespace lumo_test;

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
    WhenModal<CEdgePropertiesDlg>([](QWidget* dlg) {
        EXPECT_EQ(dlg->windowTitle() + Shown(dlg).c_str(), "Edge Properties ...||token");
        Type(dlg, "action", "x");
        QString seen;
        Answer(&seen, QMessageBox::Ok, QMessageBox::NoIcon);
        QTest::mouseClick(Button(dlg, "ok"), Qt::LeftButton);
        EXPECT_EQ(seen, "Error|Input string can not be null !");
        EXPECT_EQ(Shown(dlg), "|x|token");
        QTest::mouseClick(Button(dlg, "graph"), Qt::LeftButton);
        Type(dlg, "input", QString::fromUtf8("b\u00fccher"));
        QTest::mouseClick(Button(dlg, "ok"), Qt::LeftButton);
    });
    Drag({100, 100}, {400, 100});
    EXPECT_EQ(Stored(), "1B\u00dcCHER|@x|graph");
}

// An existing Graph edge opened by Properties shows its Windows-1252 bytes as
// their characters; OK keeps the bytes, and a click on Token retypes it.
TEST_F(EdgeDialog, ExistingEdgeIsShownAndOkKeepsItButTokenRetypesIt) {
    AddEdge(m_doc, 1, 2, "\xD1X", "@print", true);
    m_view.Repaint();
    for (bool retype : {false, true}) {
        WhenModal<CEdgePropertiesDlg>([retype](QWidget* dlg) {
            EXPECT_EQ(Shown(dlg), "\u00d1X|@print|graph");
            retype ? QTest::mouseClick(Button(dlg, "token"), Qt::LeftButton) : void();
            QTest::mouseClick(Button(dlg, "ok"), Qt::LeftButton);
        });
        ChooseFromMenu("Properties");
        RightClick(Middle(Slot(0)->GetEdge(0)->GetLabelRect()));
        EXPECT_EQ(Stored(), retype ? "1\xD1X|@print|token" : "1\xD1X|@print|graph");
    }
}

}  // namespace
