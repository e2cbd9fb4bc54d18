#include "ebnf/automaton.h"

#include <algorithm>
#include <deque>
#include <map>

namespace ebnf {

namespace {

using StateSet = std::vector<int>;

// The states reachable from `set` by empty moves, the set included, sorted.
StateSet Closure(const std::vector<Automaton::State>& states, StateSet set) {
    std::vector<int> stack = set;
    std::vector<char> seen(states.size(), 0);
    for (int s : set) {
        seen[static_cast<std::size_t>(s)] = 1;
    }
    while (!stack.empty()) {
        const int s = stack.back();
        stack.pop_back();
        for (const Automaton::Edge& e : states[static_cast<std::size_t>(s)].edges) {
            if (e.label == Nfa::kEmpty && seen[static_cast<std::size_t>(e.to)] == 0) {
                seen[static_cast<std::size_t>(e.to)] = 1;
                set.push_back(e.to);
                stack.push_back(e.to);
            }
        }
    }
    std::sort(set.begin(), set.end());
    return set;
}

// Drops the states that are unreachable from the start or cannot reach a
// final state, keeping the start (state 0) in any case, and puts every
// state's edges in label order.
Automaton Trim(const Automaton& dfa) {
    const std::size_t n = dfa.states.size();
    std::vector<std::vector<int>> incoming(n);
    std::vector<char> reachable(n, 0), live(n, 0);
    std::vector<int> stack{0};
    reachable[0] = 1;
    while (!stack.empty()) {
        const int s = stack.back();
        stack.pop_back();
        for (const Automaton::Edge& e : dfa.states[static_cast<std::size_t>(s)].edges) {
            incoming[static_cast<std::size_t>(e.to)].push_back(s);
            if (reachable[static_cast<std::size_t>(e.to)] == 0) {
                reachable[static_cast<std::size_t>(e.to)] = 1;
                stack.push_back(e.to);
            }
        }
    }
    for (std::size_t s = 0; s < n; ++s) {
        if (reachable[s] != 0 && dfa.states[s].final) {
            live[s] = 1;
            stack.push_back(static_cast<int>(s));
        }
    }
    while (!stack.empty()) {
        const int s = stack.back();
        stack.pop_back();
        for (int from : incoming[static_cast<std::size_t>(s)]) {
            if (live[static_cast<std::size_t>(from)] == 0) {
                live[static_cast<std::size_t>(from)] = 1;
                stack.push_back(from);
            }
        }
    }
    Automaton out;
    out.labels = dfa.labels;
    std::vector<int> index(n, -1);
    for (std::size_t s = 0; s < n; ++s) {
        if (live[s] != 0 || s == 0) {
            index[s] = static_cast<int>(out.states.size());
            out.states.push_back(Automaton::State{dfa.states[s].final, {}});
        }
    }
    for (std::size_t s = 0; s < n; ++s) {
        if (index[s] < 0) {
            continue;
        }
        for (const Automaton::Edge& e : dfa.states[s].edges) {
            if (live[static_cast<std::size_t>(e.to)] != 0) {
                out.states[static_cast<std::size_t>(index[s])].edges.push_back(
                    {e.label, index[static_cast<std::size_t>(e.to)]});
            }
        }
        auto& edges = out.states[static_cast<std::size_t>(index[s])].edges;
        std::sort(edges.begin(), edges.end());
    }
    return out;
}

// Moore's partition refinement: the class of every state, classes numbered
// from 0. Two states share a class when they are final alike and their
// edges carry the same labels into the same classes.
std::vector<int> EquivalenceClasses(const Automaton& dfa) {
    const std::size_t n = dfa.states.size();
    std::vector<int> cls(n);
    for (std::size_t s = 0; s < n; ++s) {
        cls[s] = dfa.states[s].final ? 1 : 0;
    }
    std::size_t count = 0;
    for (;;) {
        std::map<std::vector<int>, int> ids;
        std::vector<int> next(n);
        for (std::size_t s = 0; s < n; ++s) {
            std::vector<int> signature{cls[s]};
            for (const Automaton::Edge& e : dfa.states[s].edges) {
                signature.push_back(e.label);
                signature.push_back(cls[static_cast<std::size_t>(e.to)]);
            }
            next[s] = ids.emplace(std::move(signature), static_cast<int>(ids.size())).first->second;
        }
        cls.swap(next);
        if (ids.size() == count) {
            return cls;
        }
        count = ids.size();
    }
}

}  // namespace

std::optional<Automaton> Determinize(const Nfa& nfa, std::size_t maxStates) {
    Automaton dfa;
    dfa.labels = nfa.m_labels;
    std::map<StateSet, int> ids;
    std::deque<StateSet> work;
    auto stateFor = [&](StateSet set) -> std::optional<int> {
        const auto found = ids.find(set);
        if (found != ids.end()) {
            return found->second;
        }
        if (dfa.states.size() >= maxStates) {
            return std::nullopt;
        }
        const int id = static_cast<int>(dfa.states.size());
        Automaton::State state;
        for (int s : set) {
            state.final = state.final || nfa.m_states[static_cast<std::size_t>(s)].final;
        }
        dfa.states.push_back(state);
        ids.emplace(set, id);
        work.push_back(std::move(set));
        return id;
    };
    stateFor(Closure(nfa.m_states, {nfa.m_start}));
    while (!work.empty()) {
        const StateSet set = std::move(work.front());
        work.pop_front();
        const int from = ids.at(set);
        std::map<int, StateSet> moves;  // by label, so edges come in label order
        for (int s : set) {
            for (const Automaton::Edge& e : nfa.m_states[static_cast<std::size_t>(s)].edges) {
                if (e.label != Nfa::kEmpty) {
                    moves[e.label].push_back(e.to);
                }
            }
        }
        for (auto& [label, targets] : moves) {
            const std::optional<int> to = stateFor(Closure(nfa.m_states, std::move(targets)));
            if (!to) {
                return std::nullopt;
            }
            dfa.states[static_cast<std::size_t>(from)].edges.push_back({label, *to});
        }
    }
    return dfa;
}

Automaton Minimize(const Automaton& dfa) {
    const Automaton trimmed = Trim(dfa);
    const std::vector<int> cls = EquivalenceClasses(trimmed);
    // One representative per class; any will do, since members agree on
    // finality and on the classes their labels lead to.
    std::map<int, std::size_t> representative;
    for (std::size_t s = 0; s < trimmed.states.size(); ++s) {
        representative.emplace(cls[s], s);
    }
    // Breadth-first from the start, each state's edges in label order.
    std::map<int, int> number;  // class -> canonical state
    std::vector<int> order;     // canonical state -> class
    number[cls[0]] = 0;
    order.push_back(cls[0]);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const Automaton::State& s = trimmed.states[representative.at(order[i])];
        for (const Automaton::Edge& e : s.edges) {
            const int c = cls[static_cast<std::size_t>(e.to)];
            if (number.emplace(c, static_cast<int>(order.size())).second) {
                order.push_back(c);
            }
        }
    }
    // Only the labels in use, in their order.
    std::vector<int> used(trimmed.labels.size(), -1);
    for (const Automaton::State& s : trimmed.states) {
        for (const Automaton::Edge& e : s.edges) {
            used[static_cast<std::size_t>(e.label)] = 0;
        }
    }
    Automaton out;
    for (std::size_t l = 0; l < used.size(); ++l) {
        if (used[l] == 0) {
            used[l] = static_cast<int>(out.labels.size());
            out.labels.push_back(trimmed.labels[l]);
        }
    }
    for (const int c : order) {
        const Automaton::State& s = trimmed.states[representative.at(c)];
        Automaton::State state{s.final, {}};
        for (const Automaton::Edge& e : s.edges) {
            state.edges.push_back({used[static_cast<std::size_t>(e.label)],
                                   number.at(cls[static_cast<std::size_t>(e.to)])});
        }
        std::sort(state.edges.begin(), state.edges.end());
        out.states.push_back(std::move(state));
    }
    return out;
}

}  // namespace ebnf
