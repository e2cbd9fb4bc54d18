// The canvas under real mouse events, at whatever device pixel ratio the
// screen has (CTest runs these at 1 and at 2).

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QScrollBar>
#include <QTest>

#include "editor/edge_properties_dlg.h"
#include "editor/lumo_view.h"
#include "model/grammar.h"
#include "support/grammar_builder.h"
#include "support/modal.h"
#include "support/temp_dir.h"

namespace {

using lumo_test::Watchdog;
using lumo_test::WhenModal;
using Pixel = CLumoView::PixelClass;

// Fills in the edge dialog and presses OK (or Cancel when input is null).
void AnswerEdgeDialog(const char* input, const char* action = "", bool graph = false) {
    WhenModal<CEdgePropertiesDlg>([=](QWidget* w) {
        if (input == nullptr) {
            w->findChild<QAbstractButton*>("cancel")->click();
            return;
        }
        w->findChild<QLineEdit*>("input")->setText(input);
        w->findChild<QLineEdit*>("action")->setText(action);
        w->findChild<QAbstractButton*>(graph ? "graph" : "token")->click();
        w->findChild<QAbstractButton*>("ok")->click();
    });
}

// Chooses the item with the given text from the next popup menu, and
// reports the texts the menu offered.
void ChooseFromMenu(const QString& text, QStringList* offered = nullptr) {
    WhenModal<QMenu>([=](QWidget* w) {
        auto* menu = qobject_cast<QMenu*>(w);
        ASSERT_NE(menu, nullptr);
        QAction* chosen = nullptr;
        for (QAction* a : menu->actions()) {
            if (offered != nullptr) {
                offered->append(a->text());
            }
            if (a->text() == text) {
                chosen = a;
            }
        }
        if (chosen == nullptr) {
            menu->close();
            return;
        }
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
    });
}

class View : public ::testing::Test {
protected:
    View() : m_view(&m_doc) {
        m_view.resize(800, 600);
        m_view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m_view));
        m_view.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_view));
    }
    ~View() override {
        // A pressed button is global state of the test library.
        QTest::mouseRelease(m_view.viewport(), Qt::LeftButton, {}, QPoint(790, 590));
    }

    // Viewport point of a document point.
    QPoint At(CPoint doc) const {
        return QPoint(doc.x - m_view.horizontalScrollBar()->value(),
                      doc.y - m_view.verticalScrollBar()->value());
    }
    void Click(CPoint doc) { QTest::mouseClick(m_view.viewport(), Qt::LeftButton, {}, At(doc)); }
    void Drag(CPoint from, CPoint to) {
        QWidget* vp = m_view.viewport();
        QTest::mousePress(vp, Qt::LeftButton, {}, At(from));
        QTest::mouseMove(vp, (At(from) + At(to)) / 2);
        QTest::mouseMove(vp, At(to));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, At(to));
    }
    void RightClick(CPoint doc) {
        const QPoint p = At(doc);
        QContextMenuEvent event(QContextMenuEvent::Mouse, p, m_view.viewport()->mapToGlobal(p));
        QApplication::sendEvent(m_view.viewport(), &event);
    }
    void EdgesMode() {
        if (!m_view.IsEdgeMode()) {
            m_view.ToggleModeAction()->trigger();
        }
    }
    void NodesMode() {
        if (m_view.IsEdgeMode()) {
            m_view.ToggleModeAction()->trigger();
        }
    }
    const CGraph* Graph() const { return m_doc.GetCurrentGraph(); }
    const CGraphElement* Slot(int i) const { return Graph()->GetElement(i); }
    Pixel Under(CPoint doc) { return m_view.ClassifyPixel(At(doc)); }

    Watchdog m_watchdog;
    CGrammer m_doc;
    CLumoView m_view;
};

TEST_F(View, CanvasGeometry) {
    EXPECT_EQ(m_view.verticalScrollBar()->pageStep(), 1000);
    EXPECT_EQ(m_view.verticalScrollBar()->singleStep(), 100);
    EXPECT_EQ(m_view.verticalScrollBar()->maximum() + m_view.viewport()->height(), 10000);
    EXPECT_EQ(m_view.horizontalScrollBar()->maximum() + m_view.viewport()->width(), 10000);
}

TEST_F(View, ClickOnCanvasCreatesANodeShownAtOnceUnderScroll) {
    m_view.verticalScrollBar()->setValue(500);
    m_view.Repaint();
    const int repaints = m_view.FullRepaintCount();
    QTest::mouseClick(m_view.viewport(), Qt::LeftButton, {}, QPoint(100, 100));
    ASSERT_EQ(Graph()->GetNodeCount(), 2);
    EXPECT_EQ(Slot(1)->GetCenter(), (CPoint{100, 600}));
    EXPECT_EQ(Slot(1)->GetNumber(), 2);
    EXPECT_EQ(m_view.ClassifyPixel(QPoint(100, 112)), Pixel::Node);  // drawn under the mouse
    EXPECT_EQ(m_view.FullRepaintCount(), repaints);                  // and nothing else redrawn
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(View, ClickOnANodeItsNumberOrAnEdgeLineCreatesNothing) {
    m_doc.AddNode({400, 100});
    lumo_test::AddEdge(m_doc, 1, 2, "x");
    m_view.Repaint();
    for (CPoint p : {CPoint{100, 112}, CPoint{100, 100}, CPoint{160, 100}}) {
        EXPECT_EQ(Under(p), Pixel::Node);
        Click(p);
    }
    EXPECT_EQ(Graph()->GetNodeCount(), 2);
}

TEST_F(View, DragMovesTheNodeCentreToTheRelease) {
    m_doc.AddNode({400, 100});
    lumo_test::AddEdge(m_doc, 1, 2, "x");
    m_view.Repaint();
    Drag({405, 108}, {405, 308});
    EXPECT_EQ(Slot(1)->GetCenter(), (CPoint{405, 308}));
    EXPECT_EQ(Under({405, 300}), Pixel::Node);
    EXPECT_EQ(Under({400, 100}), Pixel::Canvas);
    // Press and release on the spot re-centres the node there.
    Drag({95, 104}, {95, 104});
    EXPECT_EQ(Slot(0)->GetCenter(), (CPoint{95, 104}));
}

// A gesture whose release the canvas never sees as its own (outside the
// window, on a scroll bar) ends there without a change, and nothing of it
// reaches what comes next: a deleted edge, another graph, a new click.
enum class ReleaseAt { Outside, ScrollBar };
enum class Then { DeleteTheEdge, SwitchGraph, ClickCanvas };
struct GestureCase {
    bool edges;
    ReleaseAt release;
    Then then;
};

class Gesture : public View, public ::testing::WithParamInterface<GestureCase> {
protected:
    // MAIN: 1 (100, 100) -lbl-> 2 (400, 100), and a Graph edge 2 -> 2 that
    // makes the graph E.
    Gesture() {
        m_doc.AddNode({400, 100});
        lumo_test::AddEdge(m_doc, 1, 2, "lbl");
        lumo_test::AddGraphEdge(m_doc, 2, 2, "E");
        m_view.Repaint();
    }
    QPoint ReleasePoint(ReleaseAt where) {
        if (where == ReleaseAt::Outside) {
            return QPoint(-20, -20);
        }
        QScrollBar* bar = m_view.horizontalScrollBar();
        return m_view.viewport()->mapFromGlobal(bar->mapToGlobal(bar->rect().center()));
    }
    int CyanIn(const CRect& r) {
        const QImage image = m_view.viewport()->grab().toImage();
        const qreal dpr = image.devicePixelRatio();
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                n += image.pixel(At({x, y}) * dpr) == qRgb(0, 255, 255) ? 1 : 0;
            }
        }
        return n;
    }
};

TEST_P(Gesture, EndsWithoutAChangeOnAReleaseOffTheCanvas) {
    const GestureCase c = GetParam();
    CEdge* edge = Slot(0)->GetEdge(0);
    const CRect label = edge->GetLabelRect();
    const CPoint onLabel{(label.left + label.right) / 2, (label.top + label.bottom) / 2};
    const std::string before = lumo_test::Store(m_doc);
    QWidget* vp = m_view.viewport();
    if (c.edges) {
        EdgesMode();
        QTest::mousePress(vp, Qt::LeftButton, {}, At(onLabel));
        ASSERT_TRUE(edge->IsHighlighted());
    } else {
        QTest::mousePress(vp, Qt::LeftButton, {}, At({400, 108}));
    }
    QTest::mouseMove(vp, ReleasePoint(c.release));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, ReleasePoint(c.release));
    EXPECT_EQ(lumo_test::ActiveModal(), nullptr) << "no edge dialog";
    EXPECT_EQ(lumo_test::Store(m_doc), before) << "nothing moved or bent";
    EXPECT_FALSE(edge->IsHighlighted());
    EXPECT_GT(CyanIn(label), 0) << "the label back in its colours";

    switch (c.then) {
        case Then::DeleteTheEdge:
            ChooseFromMenu("Delete");
            RightClick(onLabel);
            ASSERT_EQ(Slot(0)->GetEdgeCount(), 0);
            break;
        case Then::SwitchGraph:
            ChooseFromMenu("E");
            RightClick({700, 400});
            ASSERT_EQ(Graph()->GetName(), "E");
            break;
        case Then::ClickCanvas:
            break;
    }
    // Then a press and release that touch a node: the start node in edges
    // mode (a loop, cancelled), empty canvas in nodes mode (a new node).
    if (c.edges) {
        AnswerEdgeDialog(nullptr);
    }
    const CPoint next = c.edges ? CPoint{100, 100} : CPoint{600, 300};
    QTest::mousePress(vp, Qt::LeftButton, {}, At(next));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, At(next));

    m_view.MainGraphAction()->trigger();
    EXPECT_EQ(Slot(1)->GetCenter(), (CPoint{400, 100}));
    if (c.then != Then::DeleteTheEdge) {
        EXPECT_EQ(edge->GetOffset(), 0.0f);
        EXPECT_FALSE(edge->IsHighlighted());
    }
    EXPECT_EQ(Graph()->GetNodeCount(), c.edges || c.then == Then::SwitchGraph ? 2 : 3);
}

INSTANTIATE_TEST_SUITE_P(
    View, Gesture,
    ::testing::Values(GestureCase{true, ReleaseAt::Outside, Then::DeleteTheEdge},
                      GestureCase{true, ReleaseAt::ScrollBar, Then::DeleteTheEdge},
                      GestureCase{true, ReleaseAt::Outside, Then::SwitchGraph},
                      GestureCase{true, ReleaseAt::ScrollBar, Then::ClickCanvas},
                      GestureCase{false, ReleaseAt::Outside, Then::ClickCanvas},
                      GestureCase{false, ReleaseAt::ScrollBar, Then::ClickCanvas}));

TEST_F(View, GraphIdsSelectByIndexWithinTheirRange) {
    lumo_test::AddGraphEdge(m_doc, 1, 1, "A");
    lumo_test::AddGraphEdge(m_doc, 1, 1, "B");
    m_view.OnSelectGraph(CLumoView::kFirstGraphId + 2);
    EXPECT_EQ(m_doc.GetCurrentGraph()->GetName(), "B");
    m_view.OnSelectGraph(CLumoView::kFirstGraphId + 3);  // no such graph
    m_view.OnSelectGraph(CLumoView::kLastGraphId + 1);   // not a graph id
    m_view.OnSelectGraph(CLumoView::kFirstGraphId - 1);
    EXPECT_EQ(m_doc.GetCurrentGraph()->GetName(), "B");
    m_view.OnSelectGraph(CLumoView::kFirstGraphId);
    EXPECT_EQ(m_doc.GetCurrentGraph()->GetName(), "MAIN");
}

TEST_F(View, CrosshairFollowsADragWithoutTouchingWhatIsHitTested) {
    m_view.Repaint();
    const int repaints = m_view.FullRepaintCount();
    QWidget* vp = m_view.viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, At({100, 100}));
    for (int x = 110; x < 400; x += 20) {
        QTest::mouseMove(vp, QPoint(x, 250));
        QApplication::processEvents();
        EXPECT_EQ(m_view.ClassifyPixel(QPoint(x, 300)), Pixel::Canvas);
        EXPECT_EQ(m_view.ClassifyPixel(QPoint(600, 250)), Pixel::Canvas);
    }
    EXPECT_EQ(m_view.FullRepaintCount(), repaints);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(390, 250));
}

TEST_F(View, EdgeDragOpensTheDialogAndMakesTheEdge) {
    m_doc.AddNode({400, 100});
    m_view.Repaint();
    EdgesMode();
    bool tokenChecked = false;
    WhenModal<CEdgePropertiesDlg>([&](QWidget* w) {
        tokenChecked = w->findChild<QAbstractButton*>("token")->isChecked();
        EXPECT_TRUE(w->findChild<QLineEdit*>("input")->text().isEmpty());
        w->findChild<QLineEdit*>("input")->setText("id");
        w->findChild<QAbstractButton*>("ok")->click();
    });
    Drag({100, 100}, {405, 95});
    EXPECT_TRUE(tokenChecked);
    ASSERT_EQ(Slot(0)->GetEdgeCount(), 1);
    const CEdge* edge = Slot(0)->GetEdge(0);
    EXPECT_EQ(edge->GetTo(), Slot(1));
    EXPECT_EQ(edge->GetInput(), "id");
    EXPECT_EQ(edge->GetOffset(), 0.0f);
    EXPECT_EQ(Under({250, 100}), Pixel::Label);  // drawn, label on the straight line

    AnswerEdgeDialog(nullptr);  // Cancel adds nothing
    Drag({100, 100}, {400, 100});
    EXPECT_EQ(Slot(0)->GetEdgeCount(), 1);
}

TEST_F(View, ReleaseOnTheSourceOrAnEdgeLineGivesALoop) {
    m_doc.AddNode({400, 100});
    lumo_test::AddEdge(m_doc, 1, 2, "x");
    m_view.Repaint();
    EdgesMode();
    AnswerEdgeDialog("self");
    Drag({100, 100}, {104, 100});
    AnswerEdgeDialog("line");
    Drag({100, 100}, {160, 100});  // black line, no node there
    ASSERT_EQ(Slot(0)->GetEdgeCount(), 3);
    for (int i : {1, 2}) {
        EXPECT_EQ(Slot(0)->GetEdge(i)->GetTo(), Slot(0));
    }
}

TEST_F(View, ReleaseOffANodeOpensNothing) {
    m_doc.AddNode({400, 100});
    m_view.Repaint();
    EdgesMode();
    Drag({100, 100}, {250, 300});  // to empty canvas
    Drag({250, 300}, {400, 100});  // from empty canvas onto node 2
    EXPECT_EQ(lumo_test::ActiveModal(), nullptr);
    EXPECT_EQ(Slot(0)->GetEdgeCount(), 0);
    EXPECT_EQ(Slot(1)->GetEdgeCount(), 0);
}

TEST_F(View, LabelDragHighlightsThenBendsOrStraightens) {
    m_doc.AddNode({400, 100});
    lumo_test::AddEdge(m_doc, 1, 2, "abcd");
    m_view.Repaint();
    EdgesMode();
    CEdge* edge = Slot(0)->GetEdge(0);
    const CRect label = edge->GetLabelRect();
    const CPoint grab{(label.left + label.right) / 2, (label.top + label.bottom) / 2};
    QWidget* vp = m_view.viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, At(grab));
    EXPECT_TRUE(edge->IsHighlighted());
    QTest::mouseMove(vp, At({250, 200}));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, At({250, 200}));
    EXPECT_FALSE(edge->IsHighlighted());
    EXPECT_NE(edge->GetOffset(), 0.0f);
    const CRect bent = edge->GetLabelRect();
    EXPECT_NEAR((bent.top + bent.bottom) / 2, 200, 1);  // the middle follows the drop
    EXPECT_EQ(Under({250, 200}), Pixel::Label);

    QTest::mousePress(vp, Qt::LeftButton, {}, At({250, 200}));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, At({250, 103}));  // 3 units off the line
    EXPECT_EQ(edge->GetOffset(), 0.0f);
}

TEST_F(View, EdgesModePressOnEmptyCanvasMarksTheDocumentModified) {
    EdgesMode();
    m_doc.SetModifiedFlag(false);
    Click({600, 400});
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_EQ(Graph()->GetNodeCount(), 1);
}

TEST_F(View, ContextMenusFollowThePixelUnderTheMouse) {
    m_doc.AddNode({400, 100});
    lumo_test::AddEdge(m_doc, 1, 2, "lbl");
    lumo_test::AddGraphEdge(m_doc, 2, 2, "EXPR");
    lumo_test::AddGraphEdge(m_doc, 2, 2, "TERM");
    m_view.Repaint();

    QStringList offered;
    ChooseFromMenu("", &offered);
    RightClick({400, 110});
    EXPECT_EQ(offered, (QStringList{"Delete", "Final"}));

    offered.clear();
    ChooseFromMenu("", &offered);
    RightClick(CPoint{250, 100});
    EXPECT_EQ(offered, (QStringList{"Delete", "Properties"}));

    offered.clear();
    ChooseFromMenu("TERM", &offered);
    RightClick({600, 400});
    EXPECT_EQ(offered, (QStringList{"MAIN", "EXPR", "TERM"}));
    EXPECT_EQ(m_doc.GetCurrentGraph(), m_doc.GetGraph(2));

    m_view.MainGraphAction()->trigger();
    EXPECT_EQ(m_doc.GetCurrentGraph(), m_doc.GetGraph(0));

    // On an edge line: the node menu, whose commands find no node.
    offered.clear();
    ChooseFromMenu("Delete", &offered);
    RightClick({160, 100});
    EXPECT_EQ(offered, (QStringList{"Delete", "Final"}));
    EXPECT_EQ(Graph()->GetNodeCount(), 2);

    // A keyboard request has no point: no menu.
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(600, 400),
                          m_view.viewport()->mapToGlobal(QPoint(600, 400)));
    QApplication::sendEvent(m_view.viewport(), &key);
    EXPECT_EQ(lumo_test::ActiveModal(), nullptr);
}

TEST_F(View, NodeAndEdgeMenuCommands) {
    m_doc.AddNode({400, 100});
    m_doc.AddNode({400, 300});
    lumo_test::AddEdge(m_doc, 1, 2, "lbl");
    m_view.Repaint();
    m_doc.SetModifiedFlag(false);

    ChooseFromMenu("Final");
    RightClick({400, 110});
    EXPECT_TRUE(Slot(1)->IsFinal());
    EXPECT_TRUE(m_doc.IsModified());  // a change that is saved
    EXPECT_EQ(Under({400, 110}), Pixel::Node);
    bool checked = false;
    WhenModal<QMenu>([&](QWidget* w) {
        for (QAction* a : static_cast<QMenu*>(w)->actions()) {
            checked |= a->text() == "Final" && a->isChecked();
        }
        auto* menu = static_cast<QMenu*>(w);  // choose Final again
        QTest::mouseClick(menu, Qt::LeftButton, {},
                          menu->actionGeometry(menu->actions()[1]).center());
    });
    RightClick({400, 110});
    EXPECT_TRUE(checked);
    EXPECT_FALSE(Slot(1)->IsFinal());

    ChooseFromMenu("Delete");  // node 2 has an edge: refused silently
    RightClick({400, 110});
    EXPECT_EQ(Graph()->GetNodeCount(), 3);
    ChooseFromMenu("Delete");
    RightClick({400, 310});
    EXPECT_EQ(Graph()->GetNodeCount(), 2);

    AnswerEdgeDialog("NEW", "act");
    ChooseFromMenu("Properties");
    RightClick({250, 100});
    EXPECT_EQ(Slot(0)->GetEdge(0)->GetInput(), "NEW");
    EXPECT_EQ(Slot(0)->GetEdge(0)->GetAction(), "@act");

    ChooseFromMenu("Delete");
    RightClick({250, 100});
    EXPECT_EQ(Slot(0)->GetEdgeCount(), 0);
}

TEST_F(View, ModeToggleCheckedStateAndCursors) {
    EXPECT_EQ(m_view.viewport()->cursor().shape(), Qt::CrossCursor);
    EXPECT_FALSE(m_view.ToggleModeAction()->isChecked());
    m_view.ToggleModeAction()->trigger();
    EXPECT_TRUE(m_view.IsEdgeMode());
    EXPECT_TRUE(m_view.ToggleModeAction()->isChecked());
    EXPECT_EQ(m_view.viewport()->cursor().shape(), Qt::ArrowCursor);
    m_view.ToggleModeAction()->trigger();
    EXPECT_EQ(m_view.viewport()->cursor().shape(), Qt::CrossCursor);
}

TEST_F(View, EmptyInputIsRefusedAndTheDialogStaysOpen) {
    m_doc.AddNode({400, 100});
    m_view.Repaint();
    EdgesMode();
    QString error;
    WhenModal<CEdgePropertiesDlg>([&](QWidget* dialog) {
        dialog->findChild<QAbstractButton*>("ok")->click();  // empty input
        // That click runs the error box's own loop; by now it has closed.
        dialog->findChild<QAbstractButton*>("cancel")->click();
    });
    // The error box opens above the dialog: answer it first.
    WhenModal<QMessageBox>([&](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            error = box->windowTitle() + ": " + box->text();
            box->accept();
        }
    });
    Drag({100, 100}, {400, 100});
    EXPECT_EQ(error, "Error: Input string can not be null !");
    EXPECT_EQ(Slot(0)->GetEdgeCount(), 0);
}

TEST_F(View, GenerateReportsValidationAndWritesTables) {
    lumo_test::TempDir dir;
    QString shown;
    WhenModal<QMessageBox>([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        shown = box->windowTitle() + "|" + box->text();
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        box->accept();
    });
    m_view.GenerateAction()->trigger();
    EXPECT_EQ(shown, "Lumo|Graph 'MAIN' doesn't have final node!");

    m_doc.ToggleNodeFinal({100, 100});
    m_doc.SetPathName(dir.Path("g.lm"));
    lumo_test::WriteFile(dir.Path("g.lm"), "");
    std::filesystem::create_directory(dir.Path("g.pt"));  // cannot be written
    shown.clear();
    WhenModal<QMessageBox>([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        shown = box->text();
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        box->accept();
    });
    m_view.GenerateAction()->trigger();
    EXPECT_EQ(shown.toStdString(), dir.Path("g.pt") + ": Is a directory");
    EXPECT_EQ(m_doc.GetMode(), 0);
    EXPECT_EQ(lumo_test::ReadFile(dir.Path("g.lm")).size(), 37u);  // saved first
}

// Bytes in another encoding than UTF-8 show as their Windows-1252
// characters, and Properties + OK on an unchanged edge keeps its bytes: no
// new graph, no re-targeted edge.
TEST_F(View, PropertiesOkKeepsTheBytesOfWindows1252AndUtf8Labels) {
    lumo_test::TempDir dir;
    const std::string path = dir.Path("g.lm");
    {
        CGrammer source;
        source.AddNode({300, 100});
        source.AddNode({300, 300});
        lumo_test::AddGraphEdge(source, 1, 2,
                                "\xD1"
                                "AND\xDA");
        lumo_test::AddEdge(source, 1, 3, "\xC3\xA9\xE2\x86\x92\xC3\xBC", "@\xE9t\xE9");
        lumo_test::WriteFile(path, lumo_test::Store(source));
    }
    ASSERT_TRUE(m_doc.OnOpenDocument(path));
    m_view.Repaint();
    ASSERT_TRUE(m_doc.OnSaveDocument(path));  // with the labels where this canvas draws them
    const std::string before = lumo_test::ReadFile(path);

    QStringList shown;
    for (int i : {0, 1}) {
        const CRect r = Slot(0)->GetEdge(i)->GetLabelRect();
        WhenModal<CEdgePropertiesDlg>([&](QWidget* w) {
            shown << w->findChild<QLineEdit*>("input")->text() + "|" +
                         w->findChild<QLineEdit*>("action")->text();
            w->findChild<QAbstractButton*>("ok")->click();
        });
        ChooseFromMenu("Properties");
        RightClick({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
    EXPECT_EQ(shown, (QStringList{QString::fromUtf8("\u00d1AND\u00da|"),
                                  QString::fromUtf8("\u00e9\u2192\u00fc|@\u00e9t\u00e9")}));
    EXPECT_EQ(m_doc.GetGraphCount(), 2);
    ASSERT_TRUE(m_doc.OnSaveDocument(path));
    EXPECT_EQ(lumo_test::ReadFile(path), before);
}

TEST_F(View, GenerateRefusesATableThatIsTheDocument) {
    lumo_test::TempDir dir;
    m_doc.ToggleNodeFinal({100, 100});
    ASSERT_TRUE(m_doc.OnSaveDocument(dir.Path("g.pt")));
    const std::string before = lumo_test::ReadFile(dir.Path("g.pt"));
    QString shown;
    WhenModal<QMessageBox>([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        shown = box->windowTitle() + "|" + box->text();
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        box->accept();
    });
    m_view.GenerateAction()->trigger();
    EXPECT_TRUE(shown.startsWith("Lumo|")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QString::fromStdString(dir.Path("g.pt"))));
    EXPECT_EQ(lumo_test::ReadFile(dir.Path("g.pt")), before);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("g.txt")));
}

TEST_F(View, PrintsTheGraphToAPdf) {
    lumo_test::TempDir dir;
    m_doc.AddNode({400, 100});
    lumo_test::AddEdge(m_doc, 1, 2, "x");
    m_view.Repaint();
    const CRect before = Slot(0)->GetEdge(0)->GetLabelRect();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.Path("g.pdf")));
    m_view.PrintTo(&printer);
    const std::string pdf = lumo_test::ReadFile(dir.Path("g.pdf"));
    EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
    EXPECT_GT(pdf.size(), 500u);
    // The screen's hit areas are back after printing.
    EXPECT_EQ(Slot(0)->GetEdge(0)->GetLabelRect(), before);
}

TEST_F(View, WorkedExampleDrawnWithTheMouseGivesTheReferenceTable) {
    lumo_test::TempDir dir;
    Click({300, 100});
    Click({500, 100});
    EdgesMode();
    AnswerEdgeDialog("a", "push");
    Drag({100, 100}, {300, 100});
    AnswerEdgeDialog("e", "", true);  // upper-cased, and graph E appears
    Drag({300, 100}, {500, 100});
    ChooseFromMenu("Final");
    RightClick({500, 110});
    ChooseFromMenu("E");
    RightClick({700, 400});
    ASSERT_EQ(m_doc.GetCurrentGraph()->GetName(), "E");
    NodesMode();
    Click({300, 100});
    EdgesMode();
    AnswerEdgeDialog("b");
    Drag({100, 100}, {300, 100});
    ChooseFromMenu("Final");
    RightClick({300, 110});
    m_view.MainGraphAction()->trigger();

    WhenModal<QFileDialog>([&](QWidget* w) {  // Save As
        auto* edit = w->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        edit->setText(QString::fromStdString(dir.Path("worked")));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    m_view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_view));
    QTest::keyClick(&m_view, Qt::Key_F5);  // Run > Generate
    EXPECT_EQ(lumo_test::ReadFile(dir.Path("worked.pt")).size(), 88u);
    EXPECT_TRUE(std::filesystem::exists(dir.Path("worked.lm")));
    EXPECT_TRUE(std::filesystem::exists(dir.Path("worked.txt")));
}

}  // namespace
