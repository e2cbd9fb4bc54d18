#pragma once

// Finite automata over edge labels: what a rule's expression and a drawn
// graph have in common. A minimal deterministic automaton is unique up to
// the numbering of its states; Minimize numbers them canonically, so two
// languages are equal exactly when their minimal automata compare equal.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace ebnf {

// What an edge carries: a Token or a Graph input, and an action.
struct Label {
    bool graph = false;
    std::string input;
    std::string action;

    friend auto operator<=>(const Label&, const Label&) = default;
};

// State 0 is the start. Edges refer to labels by their index in `labels`,
// which is sorted, so comparing indices compares labels.
struct Automaton {
    struct Edge {
        int label = 0;
        int to = 0;

        friend auto operator<=>(const Edge&, const Edge&) = default;
    };
    struct State {
        bool final = false;
        std::vector<Edge> edges;

        friend bool operator==(const State&, const State&) = default;
    };

    std::vector<Label> labels;
    std::vector<State> states;

    int StateCount() const { return static_cast<int>(states.size()); }
    const Label& LabelOf(const Edge& e) const { return labels[static_cast<std::size_t>(e.label)]; }
    // Accepts nothing: the one minimal automaton of the empty language is a
    // single state that is not final.
    bool IsEmpty() const {
        return states.size() == 1 && !states[0].final && states[0].edges.empty();
    }

    friend bool operator==(const Automaton&, const Automaton&) = default;
};

// A nondeterministic automaton with empty moves, under construction.
class Nfa {
public:
    static constexpr int kEmpty = -1;

    explicit Nfa(std::vector<Label> labels) : m_labels(std::move(labels)) {}

    int AddState() {
        m_states.emplace_back();
        return static_cast<int>(m_states.size()) - 1;
    }
    // label is an index into the labels, or kEmpty.
    void AddEdge(int from, int to, int label) {
        m_states[static_cast<std::size_t>(from)].edges.push_back({label, to});
    }
    void SetFinal(int state) { m_states[static_cast<std::size_t>(state)].final = true; }
    void SetStart(int state) { m_start = state; }

    const std::vector<Label>& Labels() const { return m_labels; }

private:
    friend std::optional<Automaton> Determinize(const Nfa&, std::size_t);
    std::vector<Label> m_labels;
    std::vector<Automaton::State> m_states;
    int m_start = 0;
};

// The subset construction: a deterministic automaton with the same language,
// or nothing when it would have more than maxStates states.
std::optional<Automaton> Determinize(const Nfa& nfa, std::size_t maxStates);

// The minimal automaton of a deterministic one's language, with its states
// numbered in breadth-first order from the start, each state's edges in
// label order, and only the labels it uses. States that cannot reach a
// final state are dropped; an empty language gives IsEmpty().
Automaton Minimize(const Automaton& dfa);

}  // namespace ebnf
