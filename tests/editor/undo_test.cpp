// Undo and redo on the canvas, by the keys, as a user edits.

#include "canvas.h"

namespace {

using namespace lumo_test;

using Undo = Canvas;
const QKeyCombination kUndo(Qt::CTRL, Qt::Key_Z), kRedo(Qt::CTRL, Qt::Key_Y);

TEST_F(Undo, FourKeysTakeBackAndRedoAnAddedNode) {
    const CPoint p{300, 300};
    Click(p);
    ASSERT_EQ(Nodes(), 2);
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
    for (int x = 120; x <= 400; x += 40) {
        QTest::mouseMove(Vp(), At({x, 200}));
        QApplication::processEvents();
        // The crosshair is an overlay: hit-testing never sees it.
        EXPECT_EQ(Under({x, 300}), Pixel::Canvas);
        EXPECT_EQ(Under({600, 200}), Pixel::Canvas);
    }
    EXPECT_EQ(m_view.FullRepaintCount(), repaints);
    Release({400, 200});
    EXPECT_EQ(m_doc.GetHistory().GetCount(), 1u);
    Key(kUndo);
    EXPECT_EQ(Slot(0)->GetCenter(), (CPoint{100, 100}));
    EXPECT_EQ(Under({100, 100}), Pixel::Node);

    // Undo or redo in the middle of a gesture ends it: the release changes
    // nothing, and nothing the gesture picked is used after the step.
    Press({100, 100});
    Key(kRedo);
    Release({300, 100});
    EXPECT_EQ(Slot(0)->GetCenter(), (CPoint{400, 200}));
    SetEdgeMode(true);
    m_doc.FindNode({400, 200});
    m_doc.GetHistory().AddEdge({400, 200}, "a", "", false, false);  // a loop
    m_view.Repaint();
    const CPoint label = Middle(Slot(0)->GetEdge(0)->GetLabelRect());
    ASSERT_EQ(Under(label), Pixel::Label);
    Press(label);
    Key(kUndo);  // the edge goes
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
    EXPECT_EQ(Under({300, 300}), Pixel::Canvas);
    Key(kUndo);  // shown on EXPR, without its node 2
    EXPECT_EQ(m_doc.GetCurrentIndex(), 1);
    EXPECT_EQ(Under({300, 300}), Pixel::Canvas);
    Key(kUndo);  // the loop, on MAIN; EXPR goes with it
    EXPECT_EQ(m_doc.GetCurrentIndex(), 0);
    EXPECT_EQ(m_doc.GetGraphCount(), 1);
    Key(kRedo);
    Key(kRedo);
    EXPECT_EQ(m_doc.GetCurrentIndex(), 1);
    EXPECT_EQ(Under({300, 300}), Pixel::Node);
}

}  // namespace
