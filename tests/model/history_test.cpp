// Undo and redo: random sessions checked against the bytes of every state,
// the modified flag, and what empties the history.

#include <gtest/gtest.h>

#include <random>

#include "support/grammar_builder.h"
#include "support/message_capture.h"
#include "support/recording_surface.h"
#include "support/temp_dir.h"

namespace {

using lumo_test::Store;

// Edits as the editor makes them, each through the history and redrawn. In
// the first half each is also made on a plain document, which must come out
// the same; every undo and redo must give back the bytes of its state.
void RandomSession(unsigned seed, int edits) {
    std::mt19937 rng(seed);
    auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    lumo_test::RecordingSurface dc;
    CGrammer doc, plain;
    for (CGrammer* d : {&doc, &plain}) {
        lumo_test::Build(*d, {{1, 2, "a"}, {2, 3, "b", "@p"}, lumo_test::GraphArc(3, 4, "A")});
        d->Draw(&dc);  // as saved: the labels placed
        d->GetHistory().Clear();
        d->SetModifiedFlag(false);
    }
    CEditHistory& history = doc.GetHistory();
    std::vector<std::string> states{Store(doc)};  // after each step, [0] the start
    auto check = [&] {
        ASSERT_EQ(Store(doc), states[history.GetIndex()]);
        EXPECT_TRUE(doc.IsModified() == (history.GetIndex() != 0) &&
                    doc.GetCurrentGraph()->GetSelected() == nullptr);
        doc.Draw(&dc);  // drawing what undo brought back changes nothing saved
        ASSERT_EQ(Store(doc), states[history.GetIndex()]);
    };
    // A node's centre or a label's top left corner, now and then a miss.
    auto anywhere = [&](bool label) {
        std::vector<CPoint> points{{-99, -99}};
        const CGraph* g = doc.GetCurrentGraph();
        for (int i = 0; i < g->GetNodeCount(); ++i) {
            for (int j = 0; label && j < g->GetElement(i)->GetEdgeCount(); ++j) {
                const CRect& r = g->GetElement(i)->GetEdge(j)->GetLabelRect();
                points.push_back(CPoint{r.left, r.top});
            }
            points.insert(points.end(), label ? 0 : 7, g->GetElement(i)->GetCenter());
        }
        return points[static_cast<size_t>(pick(static_cast<int>(points.size())))];
    };
    for (int n = 0; n < edits && !::testing::Test::HasFailure(); ++n) {
        const bool replay = n < edits / 2;
        const int action = replay ? 2 : pick(8);
        if (action < 2) {
            if (action == 0 ? history.Undo() : history.Redo()) {
                check();
            }
            continue;
        }
        const int kind = pick(9);
        const bool graph = pick(3) == 0;
        const std::string input = std::string("abxABM").substr(pick(3) + (graph ? 3 : 0), 1);
        CPoint at = anywhere(kind >= 5 && kind <= 7);
        const CPoint to =
            pick(4) == 0 ? anywhere(false) : CPoint{40 + 30 * pick(20), 40 + 30 * pick(20)};
        at.x = kind == 8 ? pick(doc.GetGraphCount()) : at.x;
        // The edit through ed, the history or the plain document d itself.
        auto apply = [&](auto& ed, CGrammer& d) -> int {
            switch (kind) {
                case 0:
                    return ed.AddNode(to) != nullptr;
                case 1:
                    d.FindNode(at);
                    ed.MoveSelectedNode(to);
                    return 0;
                case 2:
                    return ed.DeleteNode(at);
                case 3:
                    return ed.ToggleNodeFinal(at);
                case 4:
                    d.FindNode(at);
                    ed.AddEdge(to, input, "@q", graph, false);
                    return 0;
                case 5:
                    ed.AddEdge(at, input, "", graph, true);
                    return 0;
                case 6:
                    return ed.DeleteEdge(at);
                case 7:
                    if (CEdge* edge = d.FindEdge(at)) {
                        edge->HighlightLabel(&dc);
                        if constexpr (std::is_same_v<std::decay_t<decltype(ed)>, CEditHistory>) {
                            return ed.DropLabel(edge, &dc, to);
                        }
                        return edge->DropLabel(&dc, to);
                    }
                    return -1;
                default:
                    return d.SelectGraph(at.x);
            }
        };
        const size_t index = history.GetIndex(), count = history.GetCount();
        const int result = apply(history, doc);
        doc.Draw(&dc);
        const std::string bytes = Store(doc);
        if (replay) {
            ASSERT_EQ(apply(plain, plain), result) << kind;
            plain.Draw(&dc);
            ASSERT_EQ(Store(plain), bytes) << kind;
            ASSERT_EQ(plain.IsModified(), doc.IsModified()) << kind;
        }
        if (history.GetCount() == count && history.GetIndex() == index) {
            ASSERT_EQ(bytes, states[index]) << "a change without a step: " << kind;
        } else {
            ASSERT_EQ(history.GetIndex(), index + 1);
            ASSERT_NE(bytes, states[index]) << "a step that changes nothing: " << kind;
            states.resize(index + 1);
            states.push_back(bytes);
        }
    }
    while (history.Undo()) {
        check();
    }
    while (history.Redo()) {
        check();
    }
    EXPECT_EQ(history.GetIndex(), states.size() - 1);
}

TEST(History, RandomSessionsUndoAndRedoToTheExactBytesOfEveryState) {
    for (unsigned seed = 1; seed <= 150 && !HasFailure(); ++seed) {
        SCOPED_TRACE(seed);
        RandomSession(seed, static_cast<int>(seed % 40) + 1);
    }
}
// A label drag that ends after a save is a change to save; undo comes back
// onto the saved state; a new step after undoing past it makes it unreachable.
TEST(History, ModifiedFlagFollowsTheSavedState) {
    lumo_test::TempDir dir;
    CGrammer doc;
    CEditHistory& history = doc.GetHistory();
    history.AddNode({300, 100});
    doc.FindNode({100, 100});
    history.AddEdge({300, 100}, "x", "", false, false);
    lumo_test::RecordingSurface dc;
    doc.Draw(&dc);
    CEdge* edge = doc.GetCurrentGraph()->GetElement(0)->GetEdge(0);
    edge->HighlightLabel(&dc);
    ASSERT_TRUE(doc.OnSaveDocument(dir.Path("g.lm")));
    EXPECT_TRUE(history.DropLabel(edge, &dc, {400, 200}) && doc.IsModified());
    ASSERT_TRUE(history.Undo());
    EXPECT_FALSE(doc.IsModified());
    history.Undo();
    history.AddNode({700, 100});
    EXPECT_TRUE(doc.IsModified());
    while (history.Undo()) {
        EXPECT_TRUE(doc.IsModified());
    }
}

// File New and File Open, even of a file refused, empty the history; a file
// that cannot be read leaves the document and its history as they were.
TEST(History, NewAndOpenStartAnEmptyHistory) {
    lumo_test::TempDir dir;
    lumo_test::MessageCapture messages;
    lumo_test::WriteFile(dir.Path("bad.lm"), "not a grammar");
    CGrammer doc;
    for (const char* open : {"", "bad.lm", "missing.lm"}) {
        doc.GetHistory().AddNode({300, 100});
        *open ? doc.OnOpenDocument(dir.Path(open)) : doc.OnNewDocument();
        EXPECT_EQ(doc.GetHistory().CanUndo(), *open == 'm') << open;
        EXPECT_EQ(doc.IsModified(), *open == 'm');
    }
}

}  // namespace
