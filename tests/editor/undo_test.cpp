// Undo and redo on the canvas, by the keys, as a user edits.

#include <gtest/gtest.h>

#include <QAction>
#include <QTest>

#include "editor/lumo_view.h"
#include "model/grammar.h"
#include "support/modal.h"

namespace {

using Pixel = CLumoView::PixelClass;

class Undo : public ::testing::Test {
protected:
    Undo() : m_view(&m_doc) {
        m_view.resize(800, 600);
        m_view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m_view));
        m_view.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_view));
    }
    ~Undo() override { QTest::mouseRelease(m_view.viewport(), Qt::LeftButton, {}, {790, 590}); }

    static QPoint At(CPoint p) { return QPoint(p.x, p.y); }
    void Key(QKeyCombination key) { QTest::keyClick(&m_view, key.key(), key.keyboardModifiers()); }
    Pixel Under(CPoint p) { return m_view.ClassifyPixel(At(p)); }
    int Nodes() const { return m_doc.GetCurrentGraph()->GetNodeCount(); }

    lumo_test::Watchdog m_watchdog;
    CGrammer m_doc;
    CLumoView m_view;
};

TEST_F(Undo, FourKeysTakeBackAndRedoAnAddedNode) {
    EXPECT_EQ(m_view.UndoAction()->statusTip(), "Undo the last action");
    EXPECT_EQ(m_view.RedoAction()->statusTip(), "Redo the previously undone action");
    const CPoint p{300, 300};
    QTest::mouseClick(m_view.viewport(), Qt::LeftButton, {}, At(p));
    ASSERT_EQ(Nodes(), 2);
    const struct {
        QKeyCombination key;
        int nodes;
    } steps[] = {
        {QKeyCombination(Qt::CTRL, Qt::Key_Z), 1},
        {QKeyCombination(Qt::CTRL, Qt::Key_Z), 1},  // nothing left to undo
        {QKeyCombination(Qt::CTRL, Qt::Key_Y), 2},
        {QKeyCombination(Qt::CTRL, Qt::Key_Y), 2},  // nothing left to redo
        {QKeyCombination(Qt::ALT, Qt::Key_Backspace), 1},
        {QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z), 2},
    };
    for (const auto& step : steps) {
        Key(step.key);
        EXPECT_EQ(Nodes(), step.nodes);
        EXPECT_EQ(Under(p), step.nodes == 2 ? Pixel::Node : Pixel::Canvas);  // repainted
        EXPECT_EQ(m_doc.IsModified(), step.nodes == 2);
    }
}

TEST_F(Undo, NodeDragIsOneStepAndNoPickSurvivesAnUndo) {
    QWidget* vp = m_view.viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, At({100, 100}));
    for (int x = 120; x <= 400; x += 40) {
        QTest::mouseMove(vp, At({x, 200}));
    }
    QTest::mouseRelease(vp, Qt::LeftButton, {}, At({400, 200}));
    EXPECT_EQ(m_doc.GetHistory().GetCount(), 1u);
    Key(QKeyCombination(Qt::CTRL, Qt::Key_Z));
    EXPECT_EQ(m_doc.GetCurrentGraph()->GetElement(0)->GetCenter(), (CPoint{100, 100}));
    EXPECT_EQ(Under({100, 100}), Pixel::Node);

    // Undo or redo in the middle of a gesture ends it: the release changes
    // nothing, and nothing the gesture picked is used after the step.
    QTest::mousePress(vp, Qt::LeftButton, {}, At({100, 100}));
    Key(QKeyCombination(Qt::CTRL, Qt::Key_Y));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, At({300, 100}));
    EXPECT_EQ(m_doc.GetCurrentGraph()->GetElement(0)->GetCenter(), (CPoint{400, 200}));
    m_view.ToggleModeAction()->trigger();
    m_doc.FindNode({400, 200});
    m_doc.GetHistory().AddEdge({400, 200}, "a", "", false, false);  // a loop
    m_view.Repaint();
    const CRect r = m_doc.GetCurrentGraph()->GetElement(0)->GetEdge(0)->GetLabelRect();
    const CPoint label{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ASSERT_EQ(Under(label), Pixel::Label);
    QTest::mousePress(vp, Qt::LeftButton, {}, At(label));
    Key(QKeyCombination(Qt::CTRL, Qt::Key_Z));  // the edge goes
    QTest::mouseRelease(vp, Qt::LeftButton, {}, At({label.x, label.y + 80}));
    EXPECT_EQ(m_doc.GetCurrentGraph()->GetElement(0)->GetEdgeCount(), 0);
    EXPECT_EQ(m_doc.GetHistory().GetIndex(), 1u);
}

TEST_F(Undo, UndoShowsTheGraphOfTheStep) {
    m_doc.FindNode({100, 100});
    m_doc.GetHistory().AddEdge({100, 100}, "EXPR", "", true, false);  // a loop creating EXPR
    m_view.OnSelectGraph(CLumoView::kFirstGraphId + 1);
    m_doc.GetHistory().AddNode({300, 300});
    m_view.OnSelectGraph(CLumoView::kFirstGraphId);
    EXPECT_EQ(Under({300, 300}), Pixel::Canvas);

    Key(QKeyCombination(Qt::CTRL, Qt::Key_Z));  // shown on EXPR, without its node 2
    EXPECT_EQ(m_doc.GetCurrentIndex(), 1);
    EXPECT_EQ(Under({300, 300}), Pixel::Canvas);
    Key(QKeyCombination(Qt::CTRL, Qt::Key_Z));  // the loop, on MAIN; EXPR goes with it
    EXPECT_EQ(m_doc.GetCurrentIndex(), 0);
    EXPECT_EQ(m_doc.GetGraphCount(), 1);
    Key(QKeyCombination(Qt::CTRL, Qt::Key_Y));
    Key(QKeyCombination(Qt::CTRL, Qt::Key_Y));
    EXPECT_EQ(m_doc.GetCurrentIndex(), 1);
    EXPECT_EQ(Under({300, 300}), Pixel::Node);
}

}  // namespace
