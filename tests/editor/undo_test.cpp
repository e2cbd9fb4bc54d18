// Undo and redo on the canvas, by the keys, as a user edits.

#include "canvas.h"

namespace {

using namespace lumo_test;

using Undo = Canvas;
const QKeyCombination kUndo(Qt::CTRL, Qt::Key_Z), kRedo(Qt::CTRL, Qt::Key_Y);

TEST_F(Undo, FourKeysTakeBackAndRedoAnAddedNode) {
    const CPoint p{300, 300};
    Click(p);
    // Each a second time with nothing left to take back or redo.
    const std::pair<QKeyCombination, int> steps[] = {
        {kUndo, 1},
        {kUndo, 1},
        {kRedo, 2},
        {kRedo, 2},
        {QKeyCombination(Qt::ALT, Qt::Key_Backspace), 1},
        {QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z), 2}};
    for (const auto& [key, nodes] : steps) {
        Key(key);
        EXPECT_EQ(Nodes(), nodes);
        EXPECT_EQ(Under(p), nodes == 2 ? Pixel::Node : Pixel::Canvas);  // repainted
        EXPECT_EQ(m_doc.IsModified(), nodes == 2);
    }
}

TEST_F(Undo, NodeDragIsOneStepAndNoPickSurvivesAnUndo) {
    m_view.Repaint();
    const int repaints = m_view.FullRepaintCount();
    Press({100, 100});
    QTest::mouseMove(Vp(), At({300, 200}));
    QApplication::processEvents();
    EXPECT_EQ(Under({300, 300}), Pixel::Canvas);  // the crosshair is an overlay
    QTest::mouseMove(Vp(), At({400, 200}));
    EXPECT_EQ(m_view.FullRepaintCount(), repaints);
    Release({400, 200});
    EXPECT_EQ(m_doc.GetHistory().GetCount(), 1u);
    // An undo in the middle of a gesture ends it: the edge it picked goes.
    m_doc.FindNode({400, 200});
    m_doc.GetHistory().AddEdge({400, 200}, "a", "", false, false);  // a loop
    SetEdgeMode(true);
    m_view.Repaint();
    const CPoint label = Middle(Slot(0)->GetEdge(0)->GetLabelRect());
    Press(label);
    Key(kUndo);
    Release({label.x, label.y + 80});
    EXPECT_EQ(Slot(0)->GetEdgeCount(), 0);
    EXPECT_EQ(m_doc.GetHistory().GetIndex(), 1u);
}

TEST_F(Undo, UndoShowsTheGraphOfTheStep) {
    m_doc.FindNode({100, 100});
    m_doc.GetHistory().AddEdge({100, 100}, "EXPR", "", true, false);  // a loop creating EXPR
    m_view.OnSelectGraph(CLumoView::kFirstGraphId + 1);
    m_doc.GetHistory().AddNode({300, 300});
    m_view.OnSelectGraph(CLumoView::kFirstGraphId);
    Key(kUndo);  // shown on EXPR, without its node 2
    EXPECT_EQ(m_doc.GetCurrentIndex(), 1);
    EXPECT_EQ(Under({300, 300}), Pixel::Canvas);
    Key(kUndo);  // the loop, on MAIN; EXPR goes with it
    EXPECT_EQ(m_doc.GetGraphCount() + m_doc.GetCurrentIndex(), 1);
    Key(kRedo);
    Key(kRedo);
    EXPECT_EQ(m_doc.GetCurrentIndex(), 1);
    EXPECT_EQ(Under({300, 300}), Pixel::Node);
}

}  // namespace
