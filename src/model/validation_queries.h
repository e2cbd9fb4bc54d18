#pragma once

#include <concepts>
#include <cstddef>
#include <functional>
#include <string_view>
#include <type_traits>
#include <unordered_set>
#include <vector>

// The questions validation asks of nodes and graphs, written once for the
// editable model and for the read-only flat grammar, so that the two cannot
// answer them differently. Everything runs over slots and edges in list
// order.
namespace validation_queries {

// An edge: its type and its input, kept by the edge (a reference to it can
// be handed out).
template <class E>
concept Edge = requires(const E& edge) {
    { edge.IsGraph() } -> std::convertible_to<bool>;
    { edge.GetInput() } -> std::convertible_to<std::string_view>;
    requires std::is_lvalue_reference_v<decltype(edge.GetInput())>;
};

// A node: its number, final flag and output edges, by index in list order.
template <class N>
concept Node = requires(const N& node, int i) {
    { node.GetNumber() } -> std::convertible_to<int>;
    { node.IsFinal() } -> std::convertible_to<bool>;
    { node.GetEdgeCount() } -> std::convertible_to<int>;
    requires Edge<std::remove_cvref_t<decltype(*node.GetEdge(i))>>;
};

// A graph: its node slots, by index in slot order.
template <class G>
concept Graph = requires(const G& graph, int i) {
    { graph.GetNodeCount() } -> std::convertible_to<int>;
    requires Node<std::remove_cvref_t<decltype(*graph.GetElement(i))>>;
};

template <Node N>
int CountGraphOutputs(const N& node) {
    int count = 0;
    for (int e = 0; e < node.GetEdgeCount(); ++e) {
        count += node.GetEdge(e)->IsGraph() ? 1 : 0;
    }
    return count;
}

// The input of the first graph output, or nullptr when there is none.
template <Node N>
auto FindGraphOutput(const N& node) -> decltype(&node.GetEdge(0)->GetInput()) {
    for (int e = 0; e < node.GetEdgeCount(); ++e) {
        if (node.GetEdge(e)->IsGraph()) {
            return &node.GetEdge(e)->GetInput();
        }
    }
    return nullptr;
}

// Two edges, of whatever types, with byte-for-byte equal inputs.
template <Node N>
bool HasDuplicateInputs(const N& node) {
    const int n = node.GetEdgeCount();
    // Most nodes have a handful of edges: comparing them pairwise costs less
    // than building a set.
    constexpr int kPairwise = 16;
    if (n <= kPairwise) {
        for (int i = 0; i < n; ++i) {
            for (int j = i + 1; j < n; ++j) {
                if (node.GetEdge(i)->GetInput() == node.GetEdge(j)->GetInput()) {
                    return true;
                }
            }
        }
        return false;
    }
    std::unordered_set<std::string_view> seen;
    seen.reserve(static_cast<std::size_t>(n));
    for (int e = 0; e < n; ++e) {
        if (!seen.insert(node.GetEdge(e)->GetInput()).second) {
            return true;
        }
    }
    return false;
}

// The number of the first node in slot order for which breaks(node) holds.
template <Graph G, class Breaks>
bool FindNode(const G& graph, Breaks breaks, int& nNumber) {
    for (int i = 0; i < graph.GetNodeCount(); ++i) {
        const auto& node = *graph.GetElement(i);
        if (breaks(node)) {
            nNumber = node.GetNumber();
            return true;
        }
    }
    return false;
}

template <Graph G>
bool HasFinalNode(const G& graph) {
    int number = 0;
    return FindNode(
        graph, [](const auto& node) { return node.IsFinal(); }, number);
}

template <Graph G>
bool FindFinalWithGraphOutput(const G& graph, int& nNumber) {
    return FindNode(
        graph, [](const auto& node) { return node.IsFinal() && CountGraphOutputs(node) != 0; },
        nNumber);
}

template <Graph G>
bool FindMultipleGraphOutputs(const G& graph, int& nNumber) {
    return FindNode(
        graph, [](const auto& node) { return CountGraphOutputs(node) > 1; }, nNumber);
}

// A graph's first-token set: the token inputs of its node 1, then the sets
// of the graphs that node enters, in the order found, each token once. The
// model keeps strings; the flat grammar keeps views into its file's bytes.
template <class Token>
requires std::convertible_to<const Token&, std::string_view> &&
    std::constructible_from<Token, std::string_view>
class FirstTokenSet {
public:
    // Starts afresh from the node's token outputs; false when two are equal.
    template <validation_queries::Node N>
    bool Init(const N& node) {
        m_tokens.clear();
        m_set.clear();
        for (int e = 0; e < node.GetEdgeCount(); ++e) {
            if (!node.GetEdge(e)->IsGraph() && !Add(node.GetEdge(e)->GetInput())) {
                return false;
            }
        }
        return true;
    }

    // Appends tokens[0..count) in order; false at the first one the set
    // already holds, one appended in this call included.
    bool Append(const std::vector<Token>& tokens, int count) {
        if (&tokens == &m_tokens) {
            // A set merged into itself: its first token is already there.
            return count == 0;
        }
        const std::size_t size = m_tokens.size() + static_cast<std::size_t>(count);
        m_tokens.reserve(size);
        m_set.reserve(size);
        for (int i = 0; i < count; ++i) {
            if (!Add(tokens[static_cast<std::size_t>(i)])) {
                return false;
            }
        }
        return true;
    }

    bool Contains(std::string_view token) const { return m_set.contains(token); }
    const std::vector<Token>& Tokens() const { return m_tokens; }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };

    template <class T>
    bool Add(const T& token) {
        if (!m_set.emplace(token).second) {
            return false;
        }
        m_tokens.emplace_back(token);
        return true;
    }

    std::vector<Token> m_tokens;
    std::unordered_set<Token, Hash, std::equal_to<>> m_set;
};

}  // namespace validation_queries
