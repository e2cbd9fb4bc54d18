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
class Session {
public:
    explicit Session(unsigned seed) : m_rng(seed) {
        for (CGrammer* doc : {&m_doc, &m_plain}) {
            lumo_test::Build(*doc,
                             {{1, 2, "a"}, {2, 3, "b", "@p"}, lumo_test::GraphArc(3, 4, "A")});
            doc->Draw(&m_dc);  // as saved: the labels placed
            doc->GetHistory().Clear();
            doc->SetModifiedFlag(false);
        }
        m_states.push_back(Store(m_doc));
    }

    void Run(int edits) {
        for (int n = 0; n < edits && !::testing::Test::HasFailure(); ++n) {
            const int action = n < edits / 2 ? 2 : Pick(8);
            if (action < 2) {
                Check(action == 0 ? History().Undo() : History().Redo());
            } else {
                Edit(n < edits / 2);
            }
        }
        while (History().Undo()) {
            Check(true);
        }
        EXPECT_EQ(m_index, 0u);
        while (History().Redo()) {
            Check(true);
        }
        EXPECT_EQ(m_index, m_states.size() - 1);
    }

private:
    CEditHistory& History() { return m_doc.GetHistory(); }
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    CPoint AnyNode() {
        const CGraph* g = m_doc.GetCurrentGraph();
        return g->GetElement(Pick(g->GetNodeCount()))->GetCenter();
    }
    CPoint AnyLabel() {  // its top left corner, inside it
        std::vector<CPoint> labels{{-99, -99}};
        const CGraph* g = m_doc.GetCurrentGraph();
        for (int i = 0; i < g->GetNodeCount(); ++i) {
            for (int j = 0; j < g->GetElement(i)->GetEdgeCount(); ++j) {
                const CRect& r = g->GetElement(i)->GetEdge(j)->GetLabelRect();
                labels.push_back(CPoint{r.left, r.top});
            }
        }
        return labels[static_cast<size_t>(Pick(static_cast<int>(labels.size())))];
    }

    // One random edit through ed (the history or the plain document).
    template <class Editor>
    int Apply(Editor& ed, CGrammer& doc, int kind, CPoint at, CPoint to, const std::string& input,
              bool graph) {
        switch (kind) {
            case 0:
                return ed.AddNode(to) != nullptr;
            case 1:
                doc.FindNode(at);
                ed.MoveSelectedNode(to);
                return 0;
            case 2:
                return ed.DeleteNode(at);
            case 3:
                return ed.ToggleNodeFinal(at);
            case 4:
                doc.FindNode(at);
                ed.AddEdge(to, input, "@q", graph, false);
                return 0;
            case 5:
                ed.AddEdge(at, input, "", graph, true);
                return 0;
            case 6:
                return ed.DeleteEdge(at);
            case 7:
                if (CEdge* edge = doc.FindEdge(at)) {
                    edge->HighlightLabel(&m_dc);
                    if constexpr (std::is_same_v<Editor, CEditHistory>) {
                        return ed.DropLabel(edge, &m_dc, to);
                    }
                    return edge->DropLabel(&m_dc, to);
                }
                return -1;
            default:
                return doc.SelectGraph(at.x);
        }
    }

    void Edit(bool replay) {
        static const char* const inputs[] = {"a", "b", "x", "A", "B", "MAIN"};
        const int kind = Pick(9);
        const bool graph = Pick(3) == 0;
        const std::string input = inputs[Pick(3) + (graph ? 3 : 0)];
        CPoint at = kind >= 5 && kind <= 7 ? AnyLabel() : Pick(8) ? AnyNode() : CPoint{-99, -99};
        const CPoint to = Pick(4) == 0 ? AnyNode() : CPoint{40 + 30 * Pick(20), 40 + 30 * Pick(20)};
        if (kind == 8) {
            at.x = Pick(m_doc.GetGraphCount());
        }
        const size_t steps = History().GetCount();
        const int result = Apply(History(), m_doc, kind, at, to, input, graph);
        m_doc.Draw(&m_dc);
        const std::string bytes = Store(m_doc);
        SCOPED_TRACE(kind);
        if (replay) {
            ASSERT_EQ(Apply(m_plain, m_plain, kind, at, to, input, graph), result);
            m_plain.Draw(&m_dc);
            ASSERT_EQ(Store(m_plain), bytes);
            ASSERT_EQ(m_plain.IsModified(), m_doc.IsModified());
        }
        if (History().GetCount() == steps && History().GetIndex() == m_index) {
            ASSERT_EQ(bytes, m_states[m_index]) << "a change without a step";
            return;
        }
        ASSERT_EQ(History().GetIndex(), m_index + 1);
        ASSERT_NE(bytes, m_states[m_index]) << "a step that changes nothing";
        m_states.resize(++m_index);
        m_states.push_back(bytes);
    }

    void Check(bool moved) {
        if (moved) {
            m_index = History().GetIndex();
        }
        ASSERT_EQ(History().GetIndex(), m_index);
        ASSERT_EQ(Store(m_doc), m_states[m_index]);
        if (moved) {
            EXPECT_EQ(m_doc.IsModified(), m_index != 0);
            EXPECT_EQ(m_doc.GetCurrentGraph()->GetSelected(), nullptr);
            m_doc.Draw(&m_dc);  // drawing what undo brought back changes nothing saved
            ASSERT_EQ(Store(m_doc), m_states[m_index]);
            m_dc.Calls().clear();
        }
    }

    CGrammer m_doc, m_plain;
    lumo_test::RecordingSurface m_dc;
    std::mt19937 m_rng;
    std::vector<std::string> m_states;  // the state after each step, index 0 the start
    size_t m_index = 0;
};

TEST(History, RandomSessionsUndoAndRedoToTheExactBytesOfEveryState) {
    for (unsigned seed = 1; seed <= 150 && !HasFailure(); ++seed) {
        SCOPED_TRACE(seed);
        Session(seed).Run(static_cast<int>(seed % 40) + 1);
    }
}

TEST(History, ModifiedFlagFollowsTheSavedState) {
    lumo_test::TempDir dir;
    const std::string path = dir.Path("g.lm");
    CGrammer doc;
    CEditHistory& history = doc.GetHistory();
    history.AddNode({300, 100});
    ASSERT_TRUE(doc.OnSaveDocument(path));
    history.ToggleNodeFinal({300, 100});
    // Undo onto, past and back onto the saved state.
    for (const auto& [undo, modified] : {std::pair{true, false}, {true, true}, {false, false}}) {
        ASSERT_TRUE(undo ? history.Undo() : history.Redo());
        EXPECT_EQ(doc.IsModified(), modified);
    }
    // A label drag that ends after a save is a change to save.
    doc.FindNode({100, 100});
    history.AddEdge({300, 100}, "x", "", false, false);
    lumo_test::RecordingSurface dc;
    doc.Draw(&dc);
    CEdge* edge = doc.GetCurrentGraph()->GetElement(0)->GetEdge(0);
    edge->HighlightLabel(&dc);
    ASSERT_TRUE(doc.OnSaveDocument(path));
    EXPECT_TRUE(history.DropLabel(edge, &dc, {400, 200}));
    EXPECT_TRUE(doc.IsModified());
    // A new step after undoing past the saved state makes it unreachable.
    history.Undo();
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
    CGrammer doc;
    lumo_test::WriteFile(dir.Path("bad.lm"), "not a grammar");
    for (const char* open : {"", "bad.lm", "missing.lm"}) {
        doc.GetHistory().AddNode({300, 100});
        *open ? doc.OnOpenDocument(dir.Path(open)) : doc.OnNewDocument();
        EXPECT_EQ(doc.GetHistory().CanUndo(), *open == 'm') << open;
        EXPECT_EQ(doc.IsModified(), *open == 'm');
    }
}

}  // namespace
