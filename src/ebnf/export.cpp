// Writing graphs as rules: each graph is made deterministic and minimal, and
// its nodes are eliminated one by one (Brzozowski and McCluskey), each
// time joining the expressions of the edges through the node, until one
// expression leads from a new start to a new end. Nodes with the fewest
// paths through them go first, which keeps the expression short.

#include "ebnf/export.h"

#include <algorithm>
#include <climits>
#include <map>
#include <set>

#include "ebnf/regex.h"
#include "ebnf/syntax.h"
#include "model/grammar.h"

namespace ebnf {

namespace {

constexpr std::size_t kLineWidth = 100;

std::string Quoted(const std::string& text) {
    const char quote =
        text.find('"') != std::string::npos && text.find('\'') == std::string::npos ? '\'' : '"';
    std::string out(1, quote);
    for (const char c : text) {
        if (c == quote || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + quote;
}

bool OnOneLine(const std::string& text) {
    return !text.empty() && text.find_first_of("\r\n") == std::string::npos;
}

// How an edge's label is written: a graph by its name, a token bare when it
// is a name no graph has, else quoted, and an action after it.
class Spelling {
public:
    Spelling(const CGrammer& doc, const std::string& graph) : m_graph(graph) {
        for (int i = 0; i < doc.GetGraphCount(); ++i) {
            m_graphs.insert(doc.GetGraphName(i));
        }
    }

    std::string operator()(const Label& label) const {
        std::string out;
        if (label.graph) {
            if (!m_graphs.contains(label.input)) {
                Fail("a Graph edge names \"" + label.input + "\", which is no graph");
            }
            out = label.input;
        } else if (IsName(label.input) && !m_graphs.contains(label.input)) {
            out = label.input;
        } else if (OnOneLine(label.input)) {
            out = Quoted(label.input);
        } else {
            Fail("the token \"" + label.input + "\" cannot be written as a string");
        }
        if (label.action.empty()) {
            return out;
        }
        const std::string name = label.action.substr(1);
        if (label.action.front() != '@' || !OnOneLine(name)) {
            Fail("the action \"" + label.action + "\" does not begin with '@' and one line");
        }
        return out + " @" + (IsName(name) ? name : Quoted(name));
    }

    [[noreturn]] void Fail(const std::string& why) const {
        throw ExportError("graph \"" + m_graph + "\": " + why);
    }

private:
    std::string m_graph;
    std::set<std::string> m_graphs;
};

struct Rule {
    std::string name;
    rx::Ptr expression;
};

}  // namespace

std::optional<Automaton> GraphAutomaton(const CGraph& graph, std::size_t maxStates) {
    std::set<Label> labels;
    std::map<int, int> slot;  // node number -> state
    for (int i = 0; i < graph.GetNodeCount(); ++i) {
        const CGraphElement* node = graph.GetElement(i);
        slot[node->GetNumber()] = i;
        for (int j = 0; j < node->GetEdgeCount(); ++j) {
            const CEdge* e = node->GetEdge(j);
            labels.insert(Label{e->IsGraph(), e->GetInput(), e->GetAction()});
        }
    }
    const std::vector<Label> sorted(labels.begin(), labels.end());
    Nfa nfa(sorted);
    for (int i = 0; i < graph.GetNodeCount(); ++i) {
        nfa.AddState();
        if (graph.GetElement(i)->IsFinal()) {
            nfa.SetFinal(i);
        }
    }
    for (int i = 0; i < graph.GetNodeCount(); ++i) {
        const CGraphElement* node = graph.GetElement(i);
        for (int j = 0; j < node->GetEdgeCount(); ++j) {
            const CEdge* e = node->GetEdge(j);
            const Label label{e->IsGraph(), e->GetInput(), e->GetAction()};
            const auto index =
                std::lower_bound(sorted.begin(), sorted.end(), label) - sorted.begin();
            nfa.AddEdge(i, slot.at(e->GetTo()->GetNumber()), static_cast<int>(index));
        }
    }
    nfa.SetStart(0);
    const std::optional<Automaton> dfa = Determinize(nfa, maxStates);
    if (!dfa) {
        return std::nullopt;
    }
    return Minimize(*dfa);
}

namespace {

using Edges = std::map<int, std::map<int, rx::Ptr>>;

// States that leave alike (the same expressions to the same states, loops
// aside) get one new state that leaves so, which each reaches by the empty
// sequence. Eliminated later, it writes ( p | q ) rest instead of p rest | q
// rest: each group of a run of options, ( a | b c* )? ( d | e )?, comes out
// as one.
template <class Add>
void ShareExits(Edges& out, Edges& in, const Add& add, std::set<int>& left, int next,
                std::map<int, int>& rank) {
    const auto key = [](const rx::Ptr& e) {
        return rx::Print(e, [](int label) { return "#" + std::to_string(label); });
    };
    for (bool changed = true; changed;) {
        changed = false;
        std::map<std::vector<std::pair<int, std::string>>, std::vector<int>> groups;
        for (int s : left) {
            std::vector<std::pair<int, std::string>> exits;
            for (const auto& [to, e] : out[s]) {
                if (to != s) {
                    exits.emplace_back(to, key(e));
                }
            }
            // A state that only moves on to another is left as it is, or
            // the states made here would be grouped again without end.
            if (exits.size() > 1 || (exits.size() == 1 && exits.front().second != "()")) {
                groups[exits].push_back(s);
            }
        }
        for (const auto& [exits, members] : groups) {
            if (members.size() < 2) {
                continue;
            }
            const int shared = next++;
            rank[shared] = rank[members.front()];
            for (const auto& exit : exits) {
                add(shared, exit.first, out[members.front()][exit.first]);
            }
            for (int m : members) {
                for (const auto& exit : exits) {
                    out[m].erase(exit.first);
                    in[exit.first].erase(m);
                }
                add(m, shared, rx::Epsilon());
            }
            left.insert(shared);
            changed = true;
        }
    }
}

rx::Ptr Eliminate(const Automaton& a) {
    const int n = a.StateCount();
    const int start = n, end = n + 1;
    // The expression on the way from one state to another; none where
    // there is no way.
    Edges out, in;
    auto add = [&](int from, int to, const rx::Ptr& e) {
        out[from][to] = rx::Alt(out[from][to], e);
        in[to][from] = out[from][to];
        if (out[from][to]->symbols > kMaxExportSymbols) {
            throw ExportError("its expression would write more than " +
                              std::to_string(kMaxExportSymbols) + " symbols");
        }
    };
    add(start, 0, rx::Epsilon());
    for (int s = 0; s < n; ++s) {
        for (const Automaton::Edge& e : a.states[static_cast<std::size_t>(s)].edges) {
            add(s, e.to, rx::Symbol(e.label));
        }
        if (a.states[static_cast<std::size_t>(s)].final) {
            add(s, end, rx::Epsilon());
        }
    }
    std::set<int> left;
    // Where a state stands in the breadth-first numbering; a shared state
    // stands where its first member does.
    std::map<int, int> rank;
    for (int s = 0; s < n; ++s) {
        left.insert(s);
        rank[s] = s;
    }
    ShareExits(out, in, add, left, end + 1, rank);
    while (!left.empty()) {
        // The state with the fewest paths through it; of equals, the one
        // nearest the start, so that expressions factor from the left.
        int q = -1;
        std::pair<std::size_t, int> best{SIZE_MAX, 0};
        for (int s : left) {
            const std::size_t ins = in[s].size() - (in[s].contains(s) ? 1 : 0);
            const std::size_t outs = out[s].size() - (out[s].contains(s) ? 1 : 0);
            const std::pair<std::size_t, int> cost{ins * outs, rank[s]};
            if (cost < best) {
                best = cost;
                q = s;
            }
        }
        left.erase(q);
        const rx::Ptr loop = out[q].contains(q) ? rx::Star(out[q][q]) : rx::Epsilon();
        out[q].erase(q);
        in[q].erase(q);
        for (const auto& [p, toQ] : in[q]) {
            for (const auto& [r, fromQ] : out[q]) {
                add(p, r, rx::Seq({toQ, loop, fromQ}));
            }
            out[p].erase(q);
        }
        for (const auto& [r, fromQ] : out[q]) {
            in[r].erase(q);
        }
        out.erase(q);
        in.erase(q);
    }
    return out[start][end];
}

}  // namespace

std::string ExpressionOf(const Automaton& a,
                         const std::function<std::string(const Label&)>& symbol) {
    return rx::Print(Eliminate(a),
                     [&](int label) { return symbol(a.labels[static_cast<std::size_t>(label)]); });
}

std::string ExportEbnf(const CGrammer& doc) {
    std::size_t width = 0;
    std::set<std::string> names;
    for (int i = 0; i < doc.GetGraphCount(); ++i) {
        const std::string name = doc.GetGraphName(i);
        if (!IsName(name)) {
            throw ExportError("graph \"" + name + "\": its name is not an EBNF name");
        }
        if (!names.insert(name).second) {
            throw ExportError("graph \"" + name + "\": two graphs have this name");
        }
        width = std::max(width, name.size());
    }
    std::string text;
    for (int i = 0; i < doc.GetGraphCount(); ++i) {
        const std::string name = doc.GetGraphName(i);
        const Spelling spelling(doc, name);
        const std::optional<Automaton> a = GraphAutomaton(*doc.GetGraph(i));
        if (!a) {
            spelling.Fail("it is too far from deterministic to be written");
        }
        if (a->IsEmpty()) {
            spelling.Fail("it accepts nothing: no final node can be reached from node 1");
        }
        const std::string head = name + std::string(width - name.size(), ' ') + " ::= ";
        rx::Ptr expression;
        try {
            expression = Eliminate(*a);
        } catch (const ExportError& e) {
            spelling.Fail(e.what());
        }
        const auto symbol = [&](int label) {
            return spelling(a->labels[static_cast<std::size_t>(label)]);
        };
        std::string rule = head + rx::Print(expression, symbol);
        // Long rules get one alternative a line, the bars under the "=".
        const std::vector<rx::Ptr> alternatives = rx::Alternatives(expression);
        if (rule.size() > kLineWidth && alternatives.size() > 1) {
            rule = head + rx::Print(alternatives.front(), symbol);
            for (std::size_t l = 1; l < alternatives.size(); ++l) {
                rule +=
                    "\n" + std::string(width + 3, ' ') + "| " + rx::Print(alternatives[l], symbol);
            }
        }
        text += rule + "\n";
    }
    return text;
}

}  // namespace ebnf
