#include "ebnf/import.h"

#include <algorithm>
#include <map>
#include <set>

#include "ebnf/layout.h"
#include "framework/drawing_surface.h"
#include "model/grammar.h"

namespace ebnf {

namespace {

// What names mean in one grammar: which are rules, and what each rule's
// graph is called.
class Names {
public:
    explicit Names(const std::vector<Rule>& rules) {
        bool mainDefined = false;
        for (const Rule& r : rules) {
            m_graphName[r.name] = r.name;
            mainDefined = mainDefined || r.name == "MAIN";
        }
        if (!mainDefined) {
            m_graphName[rules.front().name] = "MAIN";
        }
    }

    Label LabelOf(const Expr& symbol) const {
        const auto rule = symbol.quoted ? m_graphName.end() : m_graphName.find(symbol.text);
        if (rule == m_graphName.end()) {
            return Label{false, symbol.text, symbol.action};
        }
        return Label{true, rule->second, symbol.action};
    }
    const std::string& GraphName(const std::string& rule) const { return m_graphName.at(rule); }

private:
    std::map<std::string, std::string> m_graphName;
};

void CollectLabels(const Expr& e, const Names& names, std::set<Label>& out) {
    if (e.kind == Expr::Kind::Symbol) {
        out.insert(names.LabelOf(e));
    }
    for (const Expr& item : e.items) {
        CollectLabels(item, names, out);
    }
}

// Thompson's construction: a fragment from `in` to `out` per expression,
// joined by empty moves.
class Thompson {
public:
    Thompson(Nfa& nfa, const Names& names) : m_nfa(nfa), m_names(names) {}

    // Adds e between two new states; returns them.
    std::pair<int, int> Build(const Expr& e) {
        const int in = m_nfa.AddState();
        const int out = m_nfa.AddState();
        Connect(e, in, out);
        return {in, out};
    }

private:
    void Connect(const Expr& e, int in, int out) {
        using K = Expr::Kind;
        switch (e.kind) {
            case K::Empty:
                m_nfa.AddEdge(in, out, Nfa::kEmpty);
                return;
            case K::Symbol:
                m_nfa.AddEdge(in, out, LabelIndex(m_names.LabelOf(e)));
                return;
            case K::Sequence: {
                int at = in;
                for (std::size_t i = 0; i < e.items.size(); ++i) {
                    const int next = i + 1 == e.items.size() ? out : m_nfa.AddState();
                    Connect(e.items[i], at, next);
                    at = next;
                }
                return;
            }
            case K::Choice:
                for (const Expr& item : e.items) {
                    Connect(item, in, out);
                }
                return;
            case K::Optional:
                Connect(e.items.front(), in, out);
                m_nfa.AddEdge(in, out, Nfa::kEmpty);
                return;
            case K::Star:
            case K::Plus: {
                // A loop state of its own, so that the repetition cannot
                // leak into other paths through in or out.
                const int loop = m_nfa.AddState();
                const int back = m_nfa.AddState();
                m_nfa.AddEdge(in, loop, Nfa::kEmpty);
                Connect(e.items.front(), loop, back);
                m_nfa.AddEdge(back, loop, Nfa::kEmpty);
                m_nfa.AddEdge(back, out, Nfa::kEmpty);
                if (e.kind == K::Star) {
                    m_nfa.AddEdge(loop, out, Nfa::kEmpty);
                }
                return;
            }
        }
    }

    int LabelIndex(const Label& label) const {
        const auto& labels = m_nfa.Labels();
        return static_cast<int>(std::lower_bound(labels.begin(), labels.end(), label) -
                                labels.begin());
    }

    Nfa& m_nfa;
    const Names& m_names;
};

// A surface that draws nothing, with the metrics the layout used: drawing
// onto it gives every edge its label rectangle.
class MeasuringSurface : public CDC {
public:
    void Pie(const CRect&, CPoint, CPoint) override {}
    void Arc(const CRect&, CPoint, CPoint) override {}
    void DrawText(const std::string&, const CRect&) override {}
    CTextMetrics GetTextMetrics() const override { return {kLayoutFontHeight, kLayoutFontWidth}; }

protected:
    void Line(CPoint, CPoint) override {}
};

void Fill(CGraph& graph, const Automaton& a, const GraphLayout& layout) {
    std::vector<CGraphElement*> nodes{graph.GetElement(0)};
    nodes[0]->SetCenter(layout.centres[0]);
    nodes[0]->SetFinal(a.states[0].final);
    for (std::size_t s = 1; s < a.states.size(); ++s) {
        nodes.push_back(graph.AddNode(layout.centres[s]));
        nodes.back()->SetFinal(a.states[s].final);
    }
    for (std::size_t s = 0; s < a.states.size(); ++s) {
        const auto& edges = a.states[s].edges;
        for (std::size_t i = 0; i < edges.size(); ++i) {
            const Label& label = a.LabelOf(edges[i]);
            CEdge* edge = nodes[s]->AddEdge(nodes[s], nodes[static_cast<std::size_t>(edges[i].to)],
                                            label.input, label.action, label.graph);
            edge->SetOffset(layout.bends[s][i]);
        }
    }
    MeasuringSurface surface;
    graph.Draw(&surface);
}

}  // namespace

std::vector<CompiledRule> CompileGrammar(std::string_view text) {
    std::vector<Rule> rules = ParseGrammar(text);
    const Names names(rules);
    // The start rule first; the others keep their order.
    std::stable_partition(rules.begin(), rules.end(),
                          [&names](const Rule& r) { return names.GraphName(r.name) == "MAIN"; });
    std::vector<CompiledRule> out;
    for (const Rule& rule : rules) {
        std::set<Label> labels;
        CollectLabels(rule.body, names, labels);
        Nfa nfa(std::vector<Label>(labels.begin(), labels.end()));
        const auto [in, end] = Thompson(nfa, names).Build(rule.body);
        nfa.SetStart(in);
        nfa.SetFinal(end);
        const std::optional<Automaton> dfa = Determinize(nfa, kMaxNodes * 20);
        Automaton minimal = dfa ? Minimize(*dfa) : Automaton{};
        std::size_t edges = 0;
        for (const Automaton::State& state : minimal.states) {
            edges += state.edges.size();
        }
        if (!dfa || minimal.states.size() > kMaxNodes || edges > kMaxEdges) {
            const std::string what = !dfa || minimal.states.size() > kMaxNodes
                                         ? std::to_string(kMaxNodes) + " nodes"
                                         : std::to_string(kMaxEdges) + " edges";
            throw SyntaxError(
                rule.pos,
                "rule '" + rule.name + "' is too large: its graph would have more than " + what);
        }
        out.push_back(
            CompiledRule{names.GraphName(rule.name), rule.name, rule.pos, std::move(minimal)});
    }
    return out;
}

void ImportEbnf(std::string_view text, CGrammer& doc) {
    const std::vector<CompiledRule> rules = CompileGrammar(text);
    std::vector<GraphLayout> layouts;
    for (const CompiledRule& rule : rules) {
        layouts.push_back(LayOut(rule.automaton));
        if (!layouts.back().fits) {
            throw SyntaxError(rule.pos, "rule '" + rule.ruleName +
                                            "' is too large: its graph does "
                                            "not fit on the canvas");
        }
    }
    doc.OnNewDocument();
    for (const CompiledRule& rule : rules) {
        doc.AddGraph(rule.name);
    }
    for (std::size_t i = 0; i < rules.size(); ++i) {
        Fill(*doc.GetGraph(static_cast<int>(i)), rules[i].automaton, layouts[i]);
    }
}

}  // namespace ebnf
