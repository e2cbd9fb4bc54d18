// The canvas under real mouse events, at whatever device pixel ratio the
// screen has (CTest runs these at 1 and at 2).

#include <QPrinter>

#include "canvas.h"

namespace {

using namespace lumo_test;

using View = Canvas;

TEST_F(View, ClickOnCanvasCreatesANodeShownAtOnceUnderScroll) {
    EXPECT_EQ(m_view.verticalScrollBar()->pageStep(), 1000);
    EXPECT_EQ(m_view.horizontalScrollBar()->singleStep(), 100);
    EXPECT_EQ(m_view.verticalScrollBar()->maximum() + Vp()->height(), 10000);
    EXPECT_EQ(m_view.horizontalScrollBar()->maximum() + Vp()->width(), 10000);
    m_view.verticalScrollBar()->setValue(500);
    m_view.Repaint();
    const int repaints = m_view.FullRepaintCount();
    QTest::mouseClick(Vp(), Qt::LeftButton, {}, QPoint(100, 100));
    ASSERT_EQ(Nodes(), 2);
    EXPECT_EQ(Slot(1)->GetCenter(), (CPoint{100, 600}));
    EXPECT_EQ(m_view.ClassifyPixel(QPoint(100, 112)), Pixel::Node);  // drawn under the mouse
    EXPECT_EQ(m_view.FullRepaintCount(), repaints);                  // and nothing else redrawn
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(View, NodesModeClicksOnInkCreateNothingAndDragsMoveTheNode) {
    TwoNodes("x");
    for (CPoint p : {CPoint{100, 112}, CPoint{100, 100}, CPoint{160, 100}}) {  // disc, number, line
        EXPECT_EQ(Under(p), Pixel::Node);
        Click(p);
    }
    EXPECT_EQ(Nodes(), 2);
    Drag({405, 108}, {405, 308});
    EXPECT_EQ(Slot(1)->GetCenter(), (CPoint{405, 308}));
    EXPECT_EQ(Under({405, 300}), Pixel::Node);
    EXPECT_EQ(Under({400, 100}), Pixel::Canvas);
    Drag({95, 104}, {95, 104});  // a press and release on the spot re-centres
    EXPECT_EQ(Slot(0)->GetCenter(), (CPoint{95, 104}));
}

// A gesture whose release the canvas never sees as its own (outside the
// window, on a scroll bar) ends there without a change, and nothing of it
// reaches what comes next: a deleted edge, another graph, a new click.
enum class Then { DeleteTheEdge, SwitchGraph, ClickCanvas };
struct GestureCase {
    bool edges, onScrollBar;
    Then then;
};
void PrintTo(const GestureCase& c, std::ostream* os) {
    *os << (c.edges ? "edges" : "nodes") << (c.onScrollBar ? "_scrollbar_" : "_outside_")
        << int(c.then);
}
class Gesture : public Canvas, public ::testing::WithParamInterface<GestureCase> {};

TEST_P(Gesture, EndsWithoutAChangeOnAReleaseOffTheCanvas) {
    const GestureCase c = GetParam();
    TwoNodes("lbl");
    AddGraphEdge(m_doc, 2, 2, "E");
    m_view.Repaint();
    CEdge* edge = Slot(0)->GetEdge(0);
    const CRect label = edge->GetLabelRect();
    const std::string before = Store(m_doc);
    SetEdgeMode(c.edges);
    Press(c.edges ? Middle(label) : CPoint{400, 108});
    ASSERT_EQ(edge->IsHighlighted(), c.edges);
    QScrollBar* bar = m_view.horizontalScrollBar();
    const QPoint off = c.onScrollBar ? Vp()->mapFromGlobal(bar->mapToGlobal(bar->rect().center()))
                                     : QPoint(-20, -20);
    QTest::mouseMove(Vp(), off);
    QTest::mouseRelease(Vp(), Qt::LeftButton, {}, off);
    EXPECT_EQ(ActiveModal(), nullptr) << "no edge dialog";
    EXPECT_EQ(Store(m_doc), before) << "nothing moved or bent";
    EXPECT_FALSE(edge->IsHighlighted());
    const QImage image = Vp()->grab().toImage();
    int cyan = 0;
    for (int y = label.top; y < label.bottom; ++y) {
        for (int x = label.left; x < label.right; ++x) {
            cyan += image.pixel(At({x, y}) * image.devicePixelRatio()) == qRgb(0, 255, 255);
        }
    }
    EXPECT_GT(cyan, 0) << "the label back in its colours";

    if (c.then == Then::DeleteTheEdge) {
        ChooseFromMenu("Delete");
        RightClick(Middle(label));
        ASSERT_EQ(Slot(0)->GetEdgeCount(), 0);
    } else if (c.then == Then::SwitchGraph) {
        ChooseFromMenu("E");
        RightClick({700, 400});
        ASSERT_EQ(Graph()->GetName(), "E");
    }
    // Then a click that touches a node: the start node in edges mode (a
    // loop, cancelled), empty canvas in nodes mode (a new node).
    c.edges ? AnswerEdgeDialog(nullptr) : void();
    Click(c.edges ? CPoint{100, 100} : CPoint{600, 300});
    m_view.MainGraphAction()->trigger();
    EXPECT_EQ(Slot(1)->GetCenter(), (CPoint{400, 100}));
    if (c.then != Then::DeleteTheEdge) {
        EXPECT_EQ(edge->GetOffset(), 0.0f);
        EXPECT_FALSE(edge->IsHighlighted());
    }
    EXPECT_EQ(Nodes(), c.edges || c.then == Then::SwitchGraph ? 2 : 3);
}

INSTANTIATE_TEST_SUITE_P(View, Gesture,
                         ::testing::Values(GestureCase{true, false, Then::DeleteTheEdge},
                                           GestureCase{true, true, Then::DeleteTheEdge},
                                           GestureCase{true, false, Then::SwitchGraph},
                                           GestureCase{true, true, Then::ClickCanvas},
                                           GestureCase{false, false, Then::ClickCanvas},
                                           GestureCase{false, true, Then::ClickCanvas}));

TEST_F(View, EdgeDragsOpenTheDialogOnlyWhenTheyEndOnInkAndLabelDragsBend) {
    TwoNodes();
    EXPECT_EQ(Vp()->cursor().shape(), Qt::CrossCursor);
    SetEdgeMode(true);
    EXPECT_TRUE(m_view.ToggleModeAction()->isChecked());
    EXPECT_EQ(Vp()->cursor().shape(), Qt::ArrowCursor);
    AnswerEdgeDialog("id");
    Drag({100, 100}, {405, 95});
    ASSERT_EQ(Slot(0)->GetEdgeCount(), 1);
    CEdge* edge = Slot(0)->GetEdge(0);
    EXPECT_EQ(edge->GetTo(), Slot(1));
    EXPECT_EQ(edge->GetInput(), "id");
    EXPECT_EQ(Under({250, 100}), Pixel::Label);  // drawn, on the straight line

    AnswerEdgeDialog(nullptr);  // Cancel adds nothing
    Drag({100, 100}, {400, 100});
    Drag({100, 100}, {250, 300});  // to empty canvas: no dialog
    Drag({250, 300}, {400, 100});  // from empty canvas
    EXPECT_EQ(ActiveModal(), nullptr);
    EXPECT_EQ(Slot(0)->GetEdgeCount(), 1);
    AnswerEdgeDialog("self");
    Drag({100, 100}, {104, 100});
    AnswerEdgeDialog("line");
    Drag({100, 100}, {160, 100});  // black line, no node there: a loop
    ASSERT_EQ(Slot(0)->GetEdgeCount(), 3);
    EXPECT_EQ(Slot(0)->GetEdge(1)->GetTo(), Slot(0));
    EXPECT_EQ(Slot(0)->GetEdge(2)->GetTo(), Slot(0));
    EXPECT_EQ(Slot(1)->GetEdgeCount(), 0);

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
        {{400, 110}, "Final", {"Delete", "Final"}},     {{400, 110}, "Final", {"Delete", "Final*"}},
        {{160, 100}, "Delete", {"Delete", "Final"}},  // on a line: no node found
        {{400, 310}, "Delete", {"Delete", "Final"}},    {{250, 100}, "", {"Delete", "Properties"}},
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
    ChooseFromMenu("Delete");
    RightClick({250, 100});
    EXPECT_EQ(Slot(0)->GetEdgeCount(), 0);
    // A keyboard request has no point: no menu.
    QContextMenuEvent key(QContextMenuEvent::Keyboard, {600, 400},
                          Vp()->mapToGlobal(QPoint(600, 400)));
    QApplication::sendEvent(Vp(), &key);
    EXPECT_EQ(ActiveModal(), nullptr);
}

// Validation and write failures are reported; a table that would land on
// the document itself is refused, leaving both files as they were.
TEST_F(View, GenerateReportsWhatStopsItAndNeverWritesOverTheDocument) {
    TempDir dir;
    QString shown;
    Answer(&shown, QMessageBox::NoButton, QMessageBox::Warning);
    m_view.GenerateAction()->trigger();
    EXPECT_EQ(shown, "Lumo|Graph 'MAIN' doesn't have final node!");

    m_doc.ToggleNodeFinal({100, 100});
    m_doc.SetPathName(dir.Path("g.lm"));
    WriteFile(dir.Path("g.lm"), "");
    std::filesystem::create_directory(dir.Path("g.pt"));  // cannot be written
    Answer(&shown, QMessageBox::NoButton, QMessageBox::Critical);
    m_view.GenerateAction()->trigger();
    EXPECT_EQ(shown.toStdString(), "Lumo|" + dir.Path("g.pt") + ": Is a directory");
    EXPECT_EQ(m_doc.GetMode(), 0);
    EXPECT_EQ(ReadFile(dir.Path("g.lm")).size(), 37u);  // saved first

    ASSERT_TRUE(m_doc.OnSaveDocument(dir.Path("d.pt")));
    const std::string before = ReadFile(dir.Path("d.pt"));
    Answer(&shown, QMessageBox::NoButton, QMessageBox::Warning);
    m_view.GenerateAction()->trigger();
    EXPECT_TRUE(shown.startsWith("Lumo|")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QString::fromStdString(dir.Path("d.pt"))));
    EXPECT_EQ(ReadFile(dir.Path("d.pt")), before);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("d.txt")));
}

// Bytes in another encoding than UTF-8 show as their Windows-1252
// characters, and Properties + OK on an unchanged edge keeps its bytes: no
// new graph, no re-targeted edge.
TEST_F(View, PropertiesOkKeepsTheBytesOfWindows1252AndUtf8Labels) {
    TempDir dir;
    const std::string path = dir.Path("g.lm");
    CGrammer source;
    source.AddNode({300, 100});
    source.AddNode({300, 300});
    AddGraphEdge(source, 1, 2,
                 "\xD1"
                 "AND\xDA");
    AddEdge(source, 1, 3, "\xC3\xA9\xE2\x86\x92\xC3\xBC", "@\xE9t\xE9");
    WriteFile(path, Store(source));
    ASSERT_TRUE(m_doc.OnOpenDocument(path));
    m_view.Repaint();
    ASSERT_TRUE(m_doc.OnSaveDocument(path));  // with the labels where this canvas draws them
    const std::string before = ReadFile(path);
    QStringList shown;
    for (int i : {0, 1}) {
        WhenModal<CEdgePropertiesDlg>([&](QWidget* w) {
            shown << Edit(w, "input")->text() + "|" + Edit(w, "action")->text();
            Button(w, "ok")->click();
        });
        ChooseFromMenu("Properties");
        RightClick(Middle(Slot(0)->GetEdge(i)->GetLabelRect()));
    }
    EXPECT_EQ(shown, (QStringList{QString::fromUtf8("\u00d1AND\u00da|"),
                                  QString::fromUtf8("\u00e9\u2192\u00fc|@\u00e9t\u00e9")}));
    EXPECT_EQ(m_doc.GetGraphCount(), 2);
    ASSERT_TRUE(m_doc.OnSaveDocument(path));
    EXPECT_EQ(ReadFile(path), before);
}

TEST_F(View, PrintsTheGraphToAPdfAndKeepsTheScreensHitAreas) {
    TempDir dir;
    TwoNodes("x");
    const CRect before = Slot(0)->GetEdge(0)->GetLabelRect();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFileName(QString::fromStdString(dir.Path("g.pdf")));
    ASSERT_TRUE(m_view.PrintTo(&printer));
    const std::string pdf = ReadFile(dir.Path("g.pdf"));
    EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
    EXPECT_GT(pdf.size(), 500u);
    EXPECT_EQ(Slot(0)->GetEdge(0)->GetLabelRect(), before);
}

}  // namespace
