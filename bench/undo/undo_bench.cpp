// The undo history over a long session: 10,000 edits of every kind on a
// 1,000-node graph through the history, then 10,000 undos and 10,000 redos,
// each timed on its own. Prints the time per edit early and late in the
// session (a history that slowed editing down would show here), the time per
// undo and redo, and the memory the history holds per step. Checks that
// undoing everything gives back the starting bytes.

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "framework/archive.h"
#include "framework/drawing_surface.h"
#include "model/grammar.h"

namespace {

constexpr int kNodes = 1000;
constexpr int kColumns = 40;
constexpr int kSpacing = 60;
constexpr int kEdits = 10000;

// Draws nothing: the label rectangles are all the edits need of a drawing.
class NullSurface : public CDC {
public:
    void Pie(const CRect&, CPoint, CPoint) override {}
    void Arc(const CRect&, CPoint, CPoint) override {}
    void DrawText(const std::string&, const CRect&) override {}
    CTextMetrics GetTextMetrics() const override { return CTextMetrics{16, 8}; }

protected:
    void Line(CPoint, CPoint) override {}
};

CPoint GridPoint(int i) {
    return CPoint{kSpacing / 2 + (i % kColumns) * kSpacing,
                  kSpacing / 2 + (i / kColumns) * kSpacing};
}

// MAIN with kNodes nodes on a grid, each with edges to the next two.
void Build(CGrammer& doc) {
    CGraph* graph = doc.GetCurrentGraph();
    graph->GetElement(0)->SetCenter(GridPoint(0));
    for (int i = 1; i < kNodes; ++i) {
        doc.AddNode(GridPoint(i));
    }
    for (int i = 0; i < kNodes; ++i) {
        for (int step : {1, 2}) {
            doc.FindNode(GridPoint(i));
            doc.AddEdge(GridPoint((i + step) % kNodes), "t" + std::to_string(i * 2 + step), "",
                        false, false);
        }
    }
    doc.GetHistory().Clear();
    doc.SetModifiedFlag(false);
}

std::string Bytes(CGrammer& doc) {
    std::string out;
    CArchive ar(&out);
    doc.Serialize(ar);
    return out;
}

size_t LiveHeap() {
    return mallinfo2().uordblks;
}

struct Stats {
    double median, p99, max, mean;
};

Stats Summarise(std::vector<double> ns) {
    std::sort(ns.begin(), ns.end());
    double sum = 0;
    for (double v : ns) {
        sum += v;
    }
    return Stats{ns[ns.size() / 2], ns[ns.size() * 99 / 100], ns.back(), sum / double(ns.size())};
}

void Print(const char* what, const Stats& s) {
    std::printf("%-38s %9.2f %9.2f %9.2f %9.2f\n", what, s.median / 1000, s.p99 / 1000,
                s.max / 1000, s.mean / 1000);
}

template <class F>
double TimeNs(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return double(std::chrono::duration_cast<std::chrono::nanoseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count());
}

// Random edits of every kind, the same sequence for the same seed, either
// through the history or straight to the document as before there was one.
class Session {
public:
    Session(bool record) : m_record(record), m_graph(m_doc.GetCurrentGraph()) {
        Build(m_doc);
        m_doc.Draw(&m_dc);
    }

    CGrammer& Doc() { return m_doc; }
    CEditHistory& History() { return m_doc.GetHistory(); }

    // One edit, timed; the repaint after it, as the editor does, is not.
    double Edit() {
        const int kind = Pick(8);
        const double ns = TimeNs([&] { Run(kind); });
        m_doc.Draw(&m_dc);
        return ns;
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    CPoint AnyNode() { return m_graph->GetElement(Pick(m_graph->GetNodeCount()))->GetCenter(); }
    CPoint AnyPoint() { return CPoint{Pick(kColumns * kSpacing), Pick(kColumns * kSpacing)}; }
    // The top left corner of the label of some edge of a node, if it has one.
    bool AnyLabel(CPoint& pt) {
        const CGraphElement* e = m_graph->GetElement(Pick(m_graph->GetNodeCount()));
        if (e->GetEdgeCount() == 0) {
            return false;
        }
        const CRect& r = e->GetEdge(Pick(e->GetEdgeCount()))->GetLabelRect();
        pt = CPoint{r.left, r.top};
        return true;
    }

    void Run(int kind) {
        CEditHistory& h = History();
        CPoint pt;
        switch (kind) {
            case 0:
                m_record ? void(h.AddNode(AnyPoint())) : void(m_doc.AddNode(AnyPoint()));
                break;
            case 1:
                m_doc.FindNode(AnyNode());
                pt = AnyPoint();
                m_record ? h.MoveSelectedNode(pt) : m_doc.MoveSelectedNode(pt);
                break;
            case 2:
                m_record ? h.DeleteNode(AnyNode()) : m_doc.DeleteNode(AnyNode());
                break;
            case 3:
                m_record ? h.ToggleNodeFinal(AnyNode()) : m_doc.ToggleNodeFinal(AnyNode());
                break;
            case 4: {
                m_doc.FindNode(AnyNode());
                pt = AnyNode();
                const std::string input = "n" + std::to_string(Pick(1000));
                m_record ? h.AddEdge(pt, input, "@a", false, false)
                         : m_doc.AddEdge(pt, input, "@a", false, false);
                break;
            }
            case 5:
                if (AnyLabel(pt)) {
                    const std::string input = "p" + std::to_string(Pick(1000));
                    m_record ? h.AddEdge(pt, input, "", false, true)
                             : m_doc.AddEdge(pt, input, "", false, true);
                }
                break;
            case 6:
                if (AnyLabel(pt)) {
                    m_record ? h.DeleteEdge(pt) : m_doc.DeleteEdge(pt);
                }
                break;
            default:
                if (AnyLabel(pt)) {
                    if (CEdge* edge = m_doc.FindEdge(pt)) {
                        edge->HighlightLabel(&m_dc);
                        const CPoint to = AnyPoint();
                        m_record ? h.DropLabel(edge, &m_dc, to) : edge->DropLabel(&m_dc, to);
                    }
                }
                break;
        }
    }

    bool m_record;
    CGrammer m_doc;
    CGraph* m_graph;
    NullSurface m_dc;
    std::mt19937 m_rng{12345};
};

}  // namespace

int main() {
    Session recorded(true);
    CGrammer& doc = recorded.Doc();
    CEditHistory& history = recorded.History();
    const std::string start = Bytes(doc);

    const size_t heapBefore = LiveHeap();
    std::vector<double> editNs;
    while (history.GetCount() < kEdits) {
        editNs.push_back(recorded.Edit());
    }
    const size_t heapAfter = LiveHeap();
    const int nodes = doc.GetCurrentGraph()->GetNodeCount();

    std::vector<double> undoNs;
    while (history.CanUndo()) {
        undoNs.push_back(TimeNs([&] { history.Undo(); }));
    }
    const bool same = Bytes(doc) == start;
    std::vector<double> redoNs;
    while (history.CanRedo()) {
        redoNs.push_back(TimeNs([&] { history.Redo(); }));
    }
    const size_t heapFull = LiveHeap();
    history.Clear();
    const size_t heapCleared = LiveHeap();

    // The same edits without a history.
    Session plain(false);
    std::vector<double> plainNs;
    for (size_t i = 0; i < editNs.size(); ++i) {
        plainNs.push_back(plain.Edit());
    }

    const size_t steps = undoNs.size();
    std::printf("%zu edits made %zu steps; the graph grew from %d to %d nodes\n", editNs.size(),
                steps, kNodes, nodes);
    std::printf("%-38s %9s %9s %9s %9s\n", "microseconds", "median", "p99", "max", "mean");
    Print("edit, first 1,000, through the history",
          Summarise({editNs.begin(), editNs.begin() + 1000}));
    Print("edit, last 1,000, through the history", Summarise({editNs.end() - 1000, editNs.end()}));
    Print("edit, first 1,000, no history", Summarise({plainNs.begin(), plainNs.begin() + 1000}));
    Print("edit, last 1,000, no history", Summarise({plainNs.end() - 1000, plainNs.end()}));
    Print("undo", Summarise(undoNs));
    Print("redo", Summarise(redoNs));
    std::printf("history memory: %.0f bytes per step (%zu bytes for %zu steps)\n",
                double(heapFull - heapCleared) / double(steps), heapFull - heapCleared, steps);
    std::printf("heap growth during the edits, document included: %.0f bytes per step\n",
                double(heapAfter - heapBefore) / double(steps));
    std::printf("undoing everything gives the starting bytes: %s\n", same ? "yes" : "NO");
    return same ? 0 : 1;
}
