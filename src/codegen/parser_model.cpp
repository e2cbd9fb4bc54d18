#include "codegen/parser_model.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "generate/parse_exception.h"

namespace codegen {

namespace {

// As many first-set entries in all as the runtime loads; more would give a
// parser of unbounded size from a small grammar.
constexpr std::size_t kMaxFirstTokens = std::size_t{1} << 22;

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    out += text;
    out += '"';
    return out;
}

class ModelBuilder {
public:
    explicit ModelBuilder(ParserModel& m) : m_m(m) {}

    void Read(const GrammarInput& in);
    void CheckLeftRecursion();
    void ComputeFirstTokens();
    void NumberContinuations();

private:
    using Model = ParserModel;

    std::string GraphName(std::uint32_t g) const { return Quoted(m_m.graphs[g].name); }
    std::string NodeName(std::uint32_t node) const {
        const Model::Node& n = m_m.nodes[node];
        return "node #" + std::to_string(n.number) + " of graph " + GraphName(n.graph);
    }
    static std::uint32_t Intern(std::unordered_map<std::string, std::uint32_t>& ids,
                                std::vector<std::string>& texts, const std::string& text) {
        const auto [it, added] = ids.emplace(text, static_cast<std::uint32_t>(texts.size()));
        if (added) {
            texts.push_back(text);
        }
        return it->second;
    }

    ParserModel& m_m;
};

void ModelBuilder::Read(const GrammarInput& in) {
    std::unordered_map<std::string_view, std::uint32_t> graphIds;
    for (const GrammarInput::Graph& graph : in.graphs) {
        const auto g = static_cast<std::uint32_t>(m_m.graphs.size());
        if (!graphIds.emplace(graph.name, g).second) {
            throw CParseException("two graphs are named " + Quoted(graph.name));
        }
        m_m.graphs.push_back({graph.name, 0, 0, {}, {}});
    }
    std::unordered_map<std::string, std::uint32_t> tokenIds;
    std::unordered_map<std::string, std::uint32_t> actionIds;
    std::unordered_map<int, std::uint32_t> byNumber;
    std::unordered_set<std::string_view> inputs;
    for (std::uint32_t g = 0; g < in.graphs.size(); ++g) {
        const GrammarInput::Graph& graph = in.graphs[g];
        m_m.graphs[g].firstNode = static_cast<std::uint32_t>(m_m.nodes.size());
        m_m.graphs[g].nodeCount = static_cast<std::uint32_t>(graph.nodes.size());
        byNumber.clear();
        for (const GrammarInput::Node& node : graph.nodes) {
            byNumber.emplace(node.number, static_cast<std::uint32_t>(m_m.nodes.size()));
            m_m.nodes.push_back({g, node.number, node.final, 0, 0, kNone});
        }
        for (std::size_t i = 0; i < graph.nodes.size(); ++i) {
            const GrammarInput::Node& node = graph.nodes[i];
            const auto index = static_cast<std::uint32_t>(m_m.graphs[g].firstNode + i);
            Model::Node& n = m_m.nodes[index];
            n.edgeBegin = static_cast<std::uint32_t>(m_m.edges.size());
            for (const GrammarInput::Edge& edge : node.edges) {
                Model::Edge e;
                e.target = byNumber.at(edge.target);
                if (!edge.action.empty()) {
                    e.action = Intern(actionIds, m_m.actions, edge.action);
                }
                if (edge.graph) {
                    const auto entered = graphIds.find(edge.input);
                    if (entered == graphIds.end()) {
                        throw CParseException(NodeName(index) + " has a Graph edge to graph " +
                                              Quoted(edge.input) + ", which the grammar lacks");
                    }
                    e.graph = entered->second;
                    n.graphEdge = static_cast<std::uint32_t>(m_m.edges.size());
                } else {
                    e.token = Intern(tokenIds, m_m.tokens, edge.input);
                }
                m_m.edges.push_back(e);
            }
            n.edgeEnd = static_cast<std::uint32_t>(m_m.edges.size());
        }
    }
    // After every name is resolved, as the runtime checks, so that a grammar
    // breaking both rules gets the runtime's message. Node 1's inputs too are
    // compared whatever their types.
    std::uint32_t index = 0;
    for (const GrammarInput::Graph& graph : in.graphs) {
        for (const GrammarInput::Node& node : graph.nodes) {
            inputs.clear();
            for (const GrammarInput::Edge& edge : node.edges) {
                if (!inputs.insert(edge.input).second) {
                    throw CParseException(NodeName(index) + " has two edges with the input " +
                                          Quoted(edge.input));
                }
            }
            ++index;
        }
    }
}

// The walk passes optional graphs without a token and enters a graph before
// consuming one; either could go round for ever. Refused as the runtime
// refuses them, with its messages.
void ModelBuilder::CheckLeftRecursion() {
    enum : std::uint8_t { kNew, kOnPath, kDone };
    std::vector<std::uint8_t> state(m_m.nodes.size(), kNew);
    std::vector<std::uint32_t> path;
    for (std::uint32_t start = 0; start < m_m.nodes.size(); ++start) {
        path.clear();
        for (std::uint32_t n = start; n != kNone && state[n] != kDone; n = m_m.PassTarget(n)) {
            if (state[n] == kOnPath) {
                std::string loop;
                for (auto it = std::find(path.begin(), path.end(), n); it != path.end(); ++it) {
                    loop += "#" + std::to_string(m_m.nodes[*it].number) + " -> ";
                }
                loop += "#" + std::to_string(m_m.nodes[n].number);
                throw CParseException("graph " + GraphName(m_m.nodes[n].graph) +
                                      " can pass round a loop of optional graphs without a "
                                      "token (" +
                                      loop + ")");
            }
            state[n] = kOnPath;
            path.push_back(n);
        }
        for (const std::uint32_t n : path) {
            state[n] = kDone;
        }
    }

    // The graphs each graph can enter before it consumes a token.
    const auto graphCount = static_cast<std::uint32_t>(m_m.graphs.size());
    std::vector<std::vector<std::uint32_t>> left(graphCount);
    for (std::uint32_t g = 0; g < graphCount; ++g) {
        for (std::uint32_t n = m_m.graphs[g].firstNode; n != kNone; n = m_m.PassTarget(n)) {
            if (m_m.nodes[n].graphEdge != kNone) {
                left[g].push_back(m_m.edges[m_m.nodes[n].graphEdge].graph);
            }
        }
    }
    std::vector<std::uint8_t> seen(graphCount, kNew);
    struct Frame {
        std::uint32_t graph;
        std::size_t next;
    };
    std::vector<Frame> stack;
    for (std::uint32_t root = 0; root < graphCount; ++root) {
        if (seen[root] != kNew) {
            continue;
        }
        stack.push_back({root, 0});
        seen[root] = kOnPath;
        while (!stack.empty()) {
            Frame& top = stack.back();
            if (top.next == left[top.graph].size()) {
                seen[top.graph] = kDone;
                stack.pop_back();
                continue;
            }
            const std::uint32_t to = left[top.graph][top.next++];
            if (seen[to] == kOnPath) {
                std::string chain;
                auto it = std::find_if(stack.begin(), stack.end(),
                                       [to](const Frame& f) { return f.graph == to; });
                for (; it != stack.end(); ++it) {
                    chain += m_m.graphs[it->graph].name + " -> ";
                }
                chain += m_m.graphs[to].name;
                throw CParseException("left recursion: graph " + GraphName(to) +
                                      " can enter itself without consuming a token (" + chain +
                                      ")");
            }
            if (seen[to] == kNew) {
                seen[to] = kOnPath;
                stack.push_back({to, 0});
            }
        }
    }
}

// Node 1's tokens in edge order, then the set of the graph node 1 enters,
// computed first; with left recursion refused the chain never comes back.
void ModelBuilder::ComputeFirstTokens() {
    const auto graphCount = static_cast<std::uint32_t>(m_m.graphs.size());
    auto next = [this](std::uint32_t g) {
        const std::uint32_t e = m_m.nodes[m_m.graphs[g].firstNode].graphEdge;
        return e == kNone ? kNone : m_m.edges[e].graph;
    };
    std::vector<bool> done(graphCount, false);
    std::vector<std::uint32_t> chain;
    std::vector<std::uint32_t> stamp(m_m.tokens.size(), kNone);
    std::size_t total = 0;
    for (std::uint32_t root = 0; root < graphCount; ++root) {
        chain.clear();
        for (std::uint32_t g = root; g != kNone && !done[g]; g = next(g)) {
            chain.push_back(g);
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            const std::uint32_t g = *it;
            const Model::Node& node1 = m_m.nodes[m_m.graphs[g].firstNode];
            std::vector<std::uint32_t>& first = m_m.graphs[g].first;
            for (std::uint32_t e = node1.edgeBegin; e < node1.edgeEnd; ++e) {
                if (!m_m.edges[e].IsGraph()) {
                    first.push_back(m_m.edges[e].token);
                    stamp[m_m.edges[e].token] = g;
                }
            }
            if (const std::uint32_t h = next(g); h != kNone) {
                for (const std::uint32_t t : m_m.graphs[h].first) {
                    if (stamp[t] == g) {
                        throw CParseException("node #1 of graph " + GraphName(g) +
                                              " and node #1 of graph " + GraphName(h) +
                                              " both start with " + Quoted(m_m.tokens[t]));
                    }
                    first.push_back(t);
                }
            }
            total += first.size();
            if (total > kMaxFirstTokens) {
                throw CParseException("the first-token sets hold more than " +
                                      std::to_string(kMaxFirstTokens) + " tokens in all");
            }
            done[g] = true;
        }
    }
}

void ModelBuilder::NumberContinuations() {
    std::vector<std::vector<std::uint32_t>> entering(m_m.graphs.size());
    for (std::uint32_t e = 0; e < m_m.edges.size(); ++e) {
        if (m_m.edges[e].IsGraph()) {
            entering[m_m.edges[e].graph].push_back(e);
        }
    }
    for (std::uint32_t g = 0; g < m_m.graphs.size(); ++g) {
        for (const std::uint32_t e : entering[g]) {
            m_m.edges[e].continuation = static_cast<std::uint32_t>(m_m.continuations.size());
            m_m.graphs[g].callers.push_back(m_m.edges[e].continuation);
            m_m.continuations.push_back(e);
        }
    }
}

}  // namespace

std::uint32_t ParserModel::PassTarget(std::uint32_t node) const {
    const std::uint32_t e = nodes[node].graphEdge;
    return e != kNone && IsOptional(edges[e].graph) ? edges[e].target : kNone;
}

ParserModel BuildParserModel(const GrammarInput& input) {
    ParserModel model;
    ModelBuilder builder(model);
    builder.Read(input);
    builder.CheckLeftRecursion();
    builder.ComputeFirstTokens();
    builder.NumberContinuations();
    return model;
}

}  // namespace codegen
