// Undo and redo: random sessions checked against the bytes of every state,
// the modified flag, and what the history is emptied by.

#include <gtest/gtest.h>

#include <random>

#include "support/grammar_builder.h"
#include "support/message_capture.h"
#include "support/recording_surface.h"
#include "support/temp_dir.h"

namespace {

using lumo_test::Store;

// An editing session the way the editor runs it: every edit through the
// history, the current graph redrawn after each edit, undo and redo. In its
// first half each edit is also made straight on a plain document, which must
// come out the same, byte for byte. It keeps the bytes of every state the
// history can return to and checks each undo and redo against them.
class Session {
public:
    explicit Session(unsigned seed) : m_rng(seed) {
        for (CGrammer* doc : {&m_doc, &m_plain}) {
            lumo_test::Build(*doc,
                             {{1, 2, "a"}, {2, 3, "b", "@p"}, lumo_test::GraphArc(3, 4, "A")});
            for (int g = doc->GetGraphCount() - 1; g >= 0; --g) {
                doc->SelectGraph(g);
                doc->Draw(&m_dc);
            }
            doc->GetHistory().Clear();  // as opened: an empty history, not modified
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
        EXPECT_TRUE(m_states.size() == 1 || !m_doc.IsModified());
        while (History().Redo()) {
            Check(true);
        }
        EXPECT_EQ(m_index, m_states.size() - 1);
    }

private:
    struct Change {
        int kind;
        CPoint at, to;
        std::string input, action;
        bool graph;
    };

    CEditHistory& History() { return m_doc.GetHistory(); }
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    CPoint AnyNode() {
        const CGraph* g = m_doc.GetCurrentGraph();
        return g->GetElement(Pick(g->GetNodeCount()))->GetCenter();
    }
    // The top left corner of a label, which lies inside it; or far away.
    CPoint AnyLabel() {
        std::vector<CPoint> labels{{-99, -99}};
        const CGraph* g = m_doc.GetCurrentGraph();
        for (int i = 0; i < g->GetNodeCount(); ++i) {
            for (int j = 0; j < g->GetElement(i)->GetEdgeCount(); ++j) {
                const CRect& r = g->GetElement(i)->GetEdge(j)->GetLabelRect();
                labels.push_back(CPoint{r.left, r.top});
            }
        }
        const int n = static_cast<int>(labels.size());
        return labels[static_cast<size_t>(n == 1 ? 0 : 1 + Pick(n - 1))];
    }
    Change AnyEdit() {
        static const char* const inputs[] = {"a", "b", "x", "A", "B", "C", "MAIN"};
        Change e{Pick(9), {}, {}, "", Pick(2) ? "@q" : "", Pick(3) == 0};
        e.input = inputs[Pick(3) + (e.graph ? 3 + Pick(2) : 0)];
        e.at = e.kind >= 5 && e.kind <= 7 ? AnyLabel() : Pick(8) ? AnyNode() : CPoint{-99, -99};
        e.to = Pick(4) == 0 ? AnyNode() : CPoint{40 + 30 * Pick(20), 40 + 30 * Pick(20)};
        if (e.kind == 8) {
            e.at.x = Pick(m_doc.GetGraphCount());
        }
        return e;
    }

    // The edit made through ed, doc's history or doc itself; what it returned.
    template <class Editor>
    int Apply(Editor& ed, CGrammer& doc, const Change& e) {
        switch (e.kind) {
            case 0:
                return ed.AddNode(e.to) != nullptr;
            case 1:
                doc.FindNode(e.at);
                ed.MoveSelectedNode(e.to);
                return 0;
            case 2:
                return ed.DeleteNode(e.at);
            case 3:
                return ed.ToggleNodeFinal(e.at);
            case 4:  // at times with no node picked
                doc.FindNode(e.at);
                ed.AddEdge(e.to, e.input, e.action, e.graph, false);
                return 0;
            case 5:
                ed.AddEdge(e.at, e.input, e.action, e.graph, true);
                return 0;
            case 6:
                return ed.DeleteEdge(e.at);
            case 7:
                if (CEdge* edge = doc.FindEdge(e.at)) {
                    edge->HighlightLabel(&m_dc);
                    if constexpr (std::is_same_v<Editor, CEditHistory>) {
                        return ed.DropLabel(edge, &m_dc, e.to);
                    }
                    return edge->DropLabel(&m_dc, e.to);
                }
                return -1;
            default:
                return doc.SelectGraph(e.at.x);
        }
    }

    void Edit(bool replay) {
        const Change e = AnyEdit();
        const size_t steps = History().GetCount();
        const int result = Apply(History(), m_doc, e);
        m_doc.Draw(&m_dc);
        const std::string bytes = Store(m_doc);
        SCOPED_TRACE(e.kind);
        if (replay) {
            ASSERT_EQ(Apply(m_plain, m_plain, e), result);
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
        EXPECT_TRUE(m_doc.IsModified());
    }

    void Check(bool moved) {
        ASSERT_EQ(History().GetIndex(), moved ? History().GetIndex() : m_index);
        m_index = History().GetIndex();
        ASSERT_EQ(Store(m_doc), m_states[m_index]);
        if (moved) {
            EXPECT_EQ(m_doc.IsModified(), m_index != 0);
            for (int g = 0; g < m_doc.GetGraphCount(); ++g) {
                EXPECT_EQ(m_doc.GetGraph(g)->GetSelected(), nullptr);
            }
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
    for (unsigned seed = 1; seed <= 300 && !HasFailure(); ++seed) {
        SCOPED_TRACE(seed);
        Session(seed).Run(static_cast<int>(seed % 50) + 1);
    }
}

TEST(History, ModifiedFlagFollowsTheSavedState) {
    lumo_test::TempDir dir;
    const std::string path = dir.Path("g.lm");
    CGrammer doc;
    CEditHistory& history = doc.GetHistory();
    history.AddNode({300, 100});
    history.AddNode({500, 100});
    ASSERT_TRUE(doc.OnSaveDocument(path));
    const std::string saved = lumo_test::ReadFile(path);
    history.ToggleNodeFinal({300, 100});
    doc.FindNode({500, 100});
    history.MoveSelectedNode({500, 300});
    // Undo towards, onto, past and back onto the saved state.
    const std::pair<bool, bool> steps[] = {
        {true, true}, {true, false}, {true, true}, {false, false}};
    for (const auto& [undo, modified] : steps) {
        ASSERT_TRUE(undo ? history.Undo() : history.Redo());
        EXPECT_EQ(doc.IsModified(), modified);
        if (!modified) {
            ASSERT_TRUE(doc.OnSaveDocument(path));
            EXPECT_EQ(lumo_test::ReadFile(path), saved);
        }
    }

    // An edit that changes nothing marks the document, as ever, but adds no
    // step; the history still knows the saved state.
    doc.FindEdge({900, 900});
    history.AddEdge({900, 900}, "x", "", false, true);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(history.GetCount(), 4u);
    ASSERT_TRUE(history.Undo());
    ASSERT_TRUE(history.Redo());
    EXPECT_FALSE(doc.IsModified());

    // A label drag that ends after a save (Ctrl+S with the button held) is a
    // change to save.
    doc.FindNode({300, 100});
    history.AddEdge({500, 100}, "x", "", false, false);
    lumo_test::RecordingSurface dc;
    doc.Draw(&dc);
    CEdge* edge = doc.FindEdge({400, 100});
    ASSERT_NE(edge, nullptr);
    edge->HighlightLabel(&dc);
    ASSERT_TRUE(doc.OnSaveDocument(path));
    EXPECT_TRUE(history.DropLabel(edge, &dc, {400, 200}));
    EXPECT_TRUE(doc.IsModified());

    // A new step after undoing past the saved state makes it unreachable.
    ASSERT_TRUE(history.Undo());
    ASSERT_TRUE(history.Undo());
    history.AddNode({700, 100});
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(history.CanRedo());
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
    CEditHistory& history = doc.GetHistory();
    ASSERT_TRUE(doc.OnSaveDocument(dir.Path("g.lm")));
    lumo_test::WriteFile(dir.Path("bad.lm"), "not a grammar");
    for (const char* open : {"", "g.lm", "bad.lm", "missing.lm"}) {
        history.AddNode({300, 100});
        history.Undo();
        history.AddNode({300, 100});
        *open ? doc.OnOpenDocument(dir.Path(open)) : doc.OnNewDocument();
        EXPECT_EQ(history.CanUndo(), *open == 'm') << open;
        EXPECT_FALSE(history.CanRedo());
        EXPECT_EQ(doc.IsModified(), *open == 'm');
        EXPECT_EQ(history.GetCount(), *open == 'm' ? 1u : 0u);
    }
    EXPECT_EQ(messages.Messages().size(), 2u);
}

}  // namespace
