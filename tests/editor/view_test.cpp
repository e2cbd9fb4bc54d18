// The canvas under real mouse events and keys, at device pixel ratios 1 and 2.

#include <QPrinter>

#include "canvas.h"

namespace {

using namespace lumo_test;

using View = Canvas;
const QKeyCombination kUndo(Qt::CTRL, Qt::Key_Z);

TEST_F(View, ClickOnCanvasCreatesANodeShownAtOnceUnderScroll) {
    m_view.verticalScrollBar()->setValue(500);
    m_view.Repaint();
    const int repaints = m_view.FullRepaintCount();
    QTest::mouseClick(Vp(), Qt::LeftButton, {}, QPoint(100, 100));
    ASSERT_EQ(Nodes(), 2);
    EXPECT_EQ(Slot(1)->GetCenter(), (CPoint{100, 600}));
    EXPECT_EQ(m_view.ClassifyPixel(QPoint(100, 112)), Pixel::Node);  // drawn under the mouse
    EXPECT_EQ(m_view.FullRepaintCount(), repaints);                  // and nothing else redrawn
}

// Clicks on ink create nothing; a drag moves the node in one step, under a
// crosshair drawn over the canvas, not into it.
TEST_F(View, NodesModeClicksOnInkCreateNothingAndDragsMoveTheNode) {
    TwoNodes("x");
    for (CPoint p : {CPoint{100, 100}, CPoint{160, 100}}) {  // number, line
        EXPECT_EQ(Under(p), Pixel::Node);
        Click(p);
    }
    EXPECT_EQ(Nodes(), 2);
    const int repaints = m_view.FullRepaintCount();
    Press({405, 108});
    QTest::mouseMove(Vp(), At({405, 208}));
    QApplication::processEvents();
    EXPECT_EQ(Under({300, 208}), Pixel::Canvas);
    EXPECT_EQ(m_view.FullRepaintCount(), repaints);
    Release({405, 308});
    EXPECT_EQ(Slot(1)->GetCenter(), (CPoint{405, 308}));
    EXPECT_EQ(Under({405, 300}), Pixel::Node);
    EXPECT_EQ(m_doc.GetHistory().GetCount(), 1u);
}

// A release off the canvas (outside the window, on a scroll bar) ends the
// gesture unchanged, and nothing of it reaches the next click; an undo before
// the release ends it too.
TEST_F(View, GestureEndedOffTheCanvasOrByAnUndoChangesNothing) {
    TwoNodes("lbl");
    CEdge* edge = Slot(0)->GetEdge(0);
    const CRect label = edge->GetLabelRect();
    const std::string before = Store(m_doc);
    for (bool edges : {false, true}) {
        SetEdgeMode(edges);
        Press(edges ? Middle(label) : CPoint{400, 108});
        QScrollBar* bar = m_view.horizontalScrollBar();
        const QPoint off =
            edges ? Vp()->mapFromGlobal(bar->mapToGlobal(bar->rect().center())) : QPoint(-20, -20);
        QTest::mouseMove(Vp(), off);
        QTest::mouseRelease(Vp(), Qt::LeftButton, {}, off);
        EXPECT_EQ(ActiveModal(), nullptr) << "no edge dialog";
        EXPECT_EQ(Store(m_doc), before) << "nothing moved or bent";
    }
    EXPECT_FALSE(edge->IsHighlighted());
    const QImage image =
        Vp()->grab(QRect(At({label.left, label.top}), At({label.right, label.bottom}))).toImage();
    const auto* px = reinterpret_cast<const QRgb*>(image.constBits());
    EXPECT_GT(std::count(px, px + image.sizeInBytes() / 4, qRgb(0, 255, 255)), 0)
        << "the label back in its colours";
    SetEdgeMode(false);
    Click({600, 300});
    EXPECT_EQ(Slot(1)->GetCenter(), (CPoint{400, 100}));
    EXPECT_EQ(Nodes(), 3);
    SetEdgeMode(true);
    m_doc.FindNode({400, 100});
    m_doc.GetHistory().AddEdge({400, 100}, "a", "", false, false);  // a loop
    m_view.Repaint();
    Press(Middle(Slot(1)->GetEdge(0)->GetLabelRect()));
    Key(kUndo);
    QTest::mouseRelease(Vp(), Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_EQ(Slot(1)->GetEdgeCount(), 0);
}

TEST_F(View, EdgeDragsOpenTheDialogOnlyWhenTheyEndOnInkAndLabelDragsBend) {
    TwoNodes();
    SetEdgeMode(true);
    WhenModal<CEdgePropertiesDlg>([](QWidget* w) {
        Edit(w, "input")->setText("id");
        Button(w, "ok")->click();
    });
    Drag({100, 100}, {405, 95});
    ASSERT_EQ(Slot(0)->GetEdgeCount(), 1);
    CEdge* edge = Slot(0)->GetEdge(0);
    EXPECT_EQ(edge->GetTo(), Slot(1));
    EXPECT_EQ(Under({250, 100}), Pixel::Label);  // drawn, on the straight line
    Drag({100, 100}, {250, 300});                // to empty canvas: no dialog
    EXPECT_EQ(ActiveModal(), nullptr);
    Press(Middle(edge->GetLabelRect()));
    EXPECT_TRUE(edge->IsHighlighted());
    QTest::mouseMove(Vp(), At({250, 200}));
    Release({250, 200});
    EXPECT_FALSE(edge->IsHighlighted());
    EXPECT_NEAR(Middle(edge->GetLabelRect()).y, 200, 1);  // the middle follows the drop
    EXPECT_EQ(Under({250, 200}), Pixel::Label);
}

// One menu after another, each by what lies under the mouse.
TEST_F(View, ContextMenusFollowThePixelUnderTheMouse) {
    TwoNodes("lbl");
    m_doc.AddNode({400, 300});
    AddGraphEdge(m_doc, 2, 2, "EXPR");
    AddGraphEdge(m_doc, 2, 2, "A&B");
    m_view.Repaint();
    const struct {
        CPoint at;
        const char* choose;
        QStringList offered;
    } steps[] = {
        {{400, 110}, "Final", {"Delete", "Final"}},
        {{400, 110}, "Final", {"Delete", "Final*"}},
        {{160, 100}, "Delete", {"Delete", "Final"}},  // on a line: no node found
        {{400, 310}, "Delete", {"Delete", "Final"}},
        {{250, 100}, "Delete", {"Delete", "Properties"}},
        {{600, 400}, "A&&B", {"MAIN", "EXPR", "A&&B"}},
    };
    for (const auto& s : steps) {
        QStringList offered;
        ChooseFromMenu(s.choose, &offered);
        RightClick(s.at);
        EXPECT_EQ(offered, s.offered) << s.choose;
    }
    EXPECT_EQ(m_doc.GetCurrentIndex(), 2);
    m_view.MainGraphAction()->trigger();
    EXPECT_FALSE(Slot(1)->IsFinal());
    EXPECT_EQ(Nodes(), 2);
    EXPECT_EQ(Slot(0)->GetEdgeCount(), 0);
    QContextMenuEvent key(QContextMenuEvent::Keyboard, {600, 400},
                          Vp()->mapToGlobal(QPoint(600, 400)));
    QApplication::sendEvent(Vp(), &key);
    EXPECT_EQ(ActiveModal(), nullptr) << "a keyboard request has no point: no menu";
}

// Either undo key and either redo key, from the canvas: each step shown on
// its own graph, and the step that created a graph takes it away.
TEST_F(View, UndoAndRedoKeysShowTheGraphOfTheStep) {
    m_doc.FindNode({100, 100});
    m_doc.GetHistory().AddEdge({100, 100}, "EXPR", "", true, false);  // a loop creating EXPR
    ASSERT_TRUE(m_doc.SelectGraph(1));
    m_doc.GetHistory().AddNode({300, 300});
    m_view.MainGraphAction()->trigger();
    Key(kUndo);  // shown on EXPR, without its node 2
    EXPECT_EQ(m_doc.GetCurrentIndex(), 1);
    EXPECT_EQ(Under({300, 300}), Pixel::Canvas);
    Key(QKeyCombination(Qt::ALT, Qt::Key_Backspace));
    EXPECT_EQ(m_doc.GetGraphCount() + m_doc.GetCurrentIndex(), 1);
    Key(QKeyCombination(Qt::CTRL, Qt::Key_Y));
    Key(QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z));
    EXPECT_EQ(Under({300, 300}), Pixel::Node);
}

TEST_F(View, GenerateReportsWhatStopsIt) {
    QString shown;
    Answer(&shown, QMessageBox::NoButton, QMessageBox::Warning);
    m_view.GenerateAction()->trigger();
    EXPECT_EQ(shown, "Lumo|Graph 'MAIN' doesn't have final node!");
}

TEST_F(View, PrintsTheGraphToAPdfAndKeepsTheScreensHitAreas) {
    TempDir dir;
    TwoNodes("x");
    const CRect before = Slot(0)->GetEdge(0)->GetLabelRect();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFileName(QString::fromStdString(dir.Path("g.pdf")));
    ASSERT_TRUE(m_view.PrintTo(&printer));
    EXPECT_EQ(Slot(0)->GetEdge(0)->GetLabelRect(), before);
}

}  // namespace
