#include "runtime/parse_table.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

namespace lumo {

namespace {

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// Reads the little-endian fields of a table. Every read checks the bytes
// that remain first; a count is refused when those bytes could not hold
// that many of its smallest records, so nothing is allocated for data the
// table does not have.
class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}

    std::size_t Offset() const { return m_pos; }
    std::size_t Remaining() const { return m_bytes.size() - m_pos; }

    std::uint8_t Byte(const std::string& what) { return static_cast<std::uint8_t>(*Take(1, what)); }
    std::int32_t Int(const std::string& what) {
        const auto* p = reinterpret_cast<const unsigned char*>(Take(4, what));
        const std::uint32_t v = std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) |
                                (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
        return static_cast<std::int32_t>(v);
    }
    std::uint32_t Count(std::size_t minRecordSize, const std::string& what) {
        const std::size_t at = m_pos;
        const std::int32_t n = Int(what);
        if (n < 0) {
            throw Error(at, what + " is negative (" + std::to_string(n) + ")");
        }
        if (static_cast<std::size_t>(n) > Remaining() / minRecordSize) {
            throw Error(at, what + " is " + std::to_string(n) + ", more than the " +
                                std::to_string(Remaining()) + " bytes left can hold");
        }
        return static_cast<std::uint32_t>(n);
    }
    std::string_view String(const std::string& what) {
        std::size_t n = Byte(what);
        if (n == 0xFF) {
            const auto* w = reinterpret_cast<const unsigned char*>(Take(2, what));
            n = std::size_t{w[0]} | (std::size_t{w[1]} << 8);
            if (n == 0xFFFF) {
                n = static_cast<std::uint32_t>(Int(what));
            }
        }
        return std::string_view(Take(n, what), n);
    }

    TableError Error(std::size_t at, const std::string& message) const {
        return TableError("byte " + std::to_string(at) + ": " + message);
    }

private:
    const char* Take(std::size_t n, const std::string& what) {
        if (n > Remaining()) {
            throw TableError("the table ends early, at byte " + std::to_string(m_bytes.size()) +
                             ", inside " + what);
        }
        const char* p = m_bytes.data() + m_pos;
        m_pos += n;
        return p;
    }

    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

// The smallest records: a graph has a name and node 1; a node a number and an
// edge count; an edge a type, a target and two strings.
constexpr std::size_t kMinNodeBytes = 8;
constexpr std::size_t kMinGraphBytes = 1 + 4 + kMinNodeBytes;
constexpr std::size_t kMinEdgeBytes = 1 + 4 + 1 + 1;

}  // namespace

// Builds a ParseTable from bytes in stages, each relying on the checks of
// the ones before.
class TableBuilder {
public:
    explicit TableBuilder(ParseTable& t) : m_t(t) {}

    void Read(std::string_view bytes);
    void Resolve();
    void CheckNodes();
    void CheckLeftRecursion();
    void ComputeFirstTokens();
    void CheckFirstTokenConflicts();
    void BuildDispatch(std::size_t maxDirectCells);

private:
    using Table = ParseTable;

    struct RawEdge {
        bool graph = false;
        std::int32_t target = 0;
        std::string_view input;
    };

    std::string GraphName(std::uint32_t g) const { return Quoted(m_t.m_graphs[g].name); }
    std::string NodeName(std::uint32_t node) const {
        const Table::Node& n = m_t.m_nodes[node];
        return "node #" + std::to_string(n.number) + " of graph " + GraphName(n.graph);
    }
    // The Graph edge of a node, or kNone; known once CheckNodes() has run.
    std::uint32_t GraphEdge(std::uint32_t node) const { return m_t.m_nodes[node].graphEdge; }
    bool Optional(std::uint32_t graph) const {
        return m_t.m_nodes[m_t.m_graphs[graph].firstNode].final;
    }
    // The node reached by passing node's Graph edge empty, or kNone.
    std::uint32_t PassEmpty(std::uint32_t node) const {
        const std::uint32_t e = GraphEdge(node);
        return e != Table::kNone && Optional(m_t.m_edges[e].graph) ? m_t.m_edges[e].target
                                                                   : Table::kNone;
    }
    std::uint32_t Intern(ParseTable::StringIndex& index, std::vector<std::string>& names,
                         std::string_view text) {
        const auto found = index.find(text);
        if (found != index.end()) {
            return found->second;
        }
        const auto id = static_cast<std::uint32_t>(names.size());
        names.emplace_back(text);
        index.emplace(names.back(), id);
        return id;
    }

    ParseTable& m_t;
    std::vector<RawEdge> m_raw;  // parallel to m_t.m_edges until resolved
    std::vector<std::size_t> m_graphOffset;
};

void TableBuilder::Read(std::string_view bytes) {
    Reader r(bytes);
    const std::uint32_t graphCount = r.Count(kMinGraphBytes, "the graph count");
    if (graphCount == 0) {
        throw TableError("the table has no graph; it needs at least MAIN");
    }
    m_t.m_graphs.resize(graphCount);
    for (std::uint32_t g = 0; g < graphCount; ++g) {
        m_graphOffset.push_back(r.Offset());
        const std::string graphWhat =
            "graph " + std::to_string(g + 1) + " of " + std::to_string(graphCount);
        Table::Graph& graph = m_t.m_graphs[g];
        graph.name = std::string(r.String("the name of " + graphWhat));
        const std::string where = "graph " + Quoted(graph.name);
        const std::uint32_t nodeCount = r.Count(kMinNodeBytes, "the node count of " + where);
        if (nodeCount == 0) {
            throw r.Error(r.Offset() - 4, where + " has no nodes");
        }
        graph.firstNode = static_cast<std::uint32_t>(m_t.m_nodes.size());
        graph.nodeCount = nodeCount;
        for (std::uint32_t i = 0; i < nodeCount; ++i) {
            const std::size_t at = r.Offset();
            const std::string nodeWhat = "node " + std::to_string(i + 1) + " of " + where;
            const std::int32_t number = r.Int(nodeWhat);
            if (number == 0 || number == std::numeric_limits<std::int32_t>::min()) {
                throw r.Error(at, nodeWhat + " has the number " + std::to_string(number));
            }
            Table::Node node;
            node.number = number < 0 ? -number : number;
            node.final = number < 0;
            node.graph = g;
            if (i == 0 && node.number != 1) {
                throw r.Error(at, where + " starts with node #" + std::to_string(node.number) +
                                      ", not node #1");
            }
            const std::string edgesWhat = "node #" + std::to_string(node.number) + " of " + where;
            const std::uint32_t edgeCount =
                r.Count(kMinEdgeBytes, "the edge count of " + edgesWhat);
            node.edgeBegin = static_cast<std::uint32_t>(m_raw.size());
            for (std::uint32_t k = 0; k < edgeCount; ++k) {
                const std::string edgeWhat = "edge " + std::to_string(k + 1) + " of " + edgesWhat;
                const std::size_t typeAt = r.Offset();
                const std::uint8_t type = r.Byte(edgeWhat);
                if (type > 1) {
                    throw r.Error(typeAt, edgeWhat + " has the type " + std::to_string(type) +
                                              " (1 Graph, 0 Token)");
                }
                RawEdge raw;
                raw.graph = type == 1;
                raw.target = r.Int(edgeWhat);
                raw.input = r.String(edgeWhat);
                const std::string_view action = r.String(edgeWhat);
                Table::Edge edge;
                if (!action.empty()) {
                    edge.action = static_cast<std::uint32_t>(m_t.m_actions.size());
                    m_t.m_actions.emplace_back(action);
                }
                if (!raw.graph) {
                    edge.token = Intern(m_t.m_tokenIds, m_t.m_tokens, raw.input);
                }
                m_raw.push_back(raw);
                m_t.m_edges.push_back(edge);
            }
            node.edgeEnd = static_cast<std::uint32_t>(m_raw.size());
            m_t.m_nodes.push_back(node);
        }
    }
    if (r.Remaining() != 0) {
        throw r.Error(r.Offset(), std::to_string(r.Remaining()) + " bytes follow the last graph");
    }
    // The operand of a dispatch cell holds a node or an edge index.
    if (m_t.m_nodes.size() > Table::kMaxOperand || m_t.m_edges.size() > Table::kMaxOperand) {
        throw TableError("the table has more nodes or edges than the parser can index");
    }
}

void TableBuilder::Resolve() {
    for (std::uint32_t g = 0; g < m_t.m_graphs.size(); ++g) {
        const std::string& name = m_t.m_graphs[g].name;
        if (!m_t.m_graphIds.emplace(name, g).second) {
            throw TableError("byte " + std::to_string(m_graphOffset[g]) +
                             ": two graphs are named " + Quoted(name));
        }
    }
    for (const Table::Graph& graph : m_t.m_graphs) {
        std::unordered_map<std::int32_t, std::uint32_t> byNumber;
        byNumber.reserve(graph.nodeCount);
        for (std::uint32_t i = graph.firstNode; i < graph.firstNode + graph.nodeCount; ++i) {
            if (!byNumber.emplace(m_t.m_nodes[i].number, i).second) {
                throw TableError("graph " + Quoted(graph.name) + " has two nodes #" +
                                 std::to_string(m_t.m_nodes[i].number));
            }
        }
        for (std::uint32_t i = graph.firstNode; i < graph.firstNode + graph.nodeCount; ++i) {
            const Table::Node& node = m_t.m_nodes[i];
            for (std::uint32_t e = node.edgeBegin; e < node.edgeEnd; ++e) {
                const RawEdge& raw = m_raw[e];
                Table::Edge& edge = m_t.m_edges[e];
                const auto target = byNumber.find(raw.target);
                if (target == byNumber.end()) {
                    throw TableError(NodeName(i) + " has an edge to node #" +
                                     std::to_string(raw.target) + ", which the graph lacks");
                }
                edge.target = target->second;
                if (raw.graph) {
                    const auto entered = m_t.m_graphIds.find(raw.input);
                    if (entered == m_t.m_graphIds.end()) {
                        throw TableError(NodeName(i) + " has a Graph edge to graph " +
                                         Quoted(raw.input) + ", which the table lacks");
                    }
                    edge.graph = entered->second;
                }
            }
        }
    }
}

void TableBuilder::CheckNodes() {
    for (std::uint32_t g = 0; g < m_t.m_graphs.size(); ++g) {
        const Table::Graph& graph = m_t.m_graphs[g];
        bool hasFinal = false;
        for (std::uint32_t i = graph.firstNode; i < graph.firstNode + graph.nodeCount; ++i) {
            hasFinal = hasFinal || m_t.m_nodes[i].final;
        }
        if (!hasFinal) {
            throw TableError("graph " + Quoted(graph.name) + " has no final node");
        }
    }
    // Inputs are compared as strings, whatever the edge types, as validation
    // does: a Token edge "E" beside a Graph edge "E" is refused too.
    std::unordered_map<std::string_view, std::uint32_t> inputs;
    for (std::uint32_t i = 0; i < m_t.m_nodes.size(); ++i) {
        const Table::Node& node = m_t.m_nodes[i];
        std::uint32_t graphEdges = 0;
        inputs.clear();
        m_t.m_nodes[i].graphEdge = Table::kNone;
        for (std::uint32_t e = node.edgeBegin; e < node.edgeEnd; ++e) {
            if (m_t.m_edges[e].graph != Table::kNone) {
                ++graphEdges;
                m_t.m_nodes[i].graphEdge = e;
            }
            if (!inputs.emplace(m_raw[e].input, e).second) {
                throw TableError(NodeName(i) + " has two edges with the input " +
                                 Quoted(m_raw[e].input));
            }
        }
        if (graphEdges > 0 && node.final) {
            throw TableError(NodeName(i) + " is final and has a Graph edge");
        }
        if (graphEdges > 1) {
            throw TableError(NodeName(i) + " has more than one Graph edge");
        }
    }
    m_raw.clear();
    m_raw.shrink_to_fit();
}

void TableBuilder::CheckLeftRecursion() {
    // Loops of optional graphs within a graph. Each node passes empty to at
    // most one node, so following those steps from every node finds them.
    enum : std::uint8_t { kNew, kOnPath, kDone };
    std::vector<std::uint8_t> state(m_t.m_nodes.size(), kNew);
    std::vector<std::uint32_t> path;
    for (std::uint32_t start = 0; start < m_t.m_nodes.size(); ++start) {
        path.clear();
        for (std::uint32_t n = start; n != Table::kNone && state[n] != kDone; n = PassEmpty(n)) {
            if (state[n] == kOnPath) {
                std::string loop;
                const auto from = std::find(path.begin(), path.end(), n);
                for (auto it = from; it != path.end(); ++it) {
                    loop += "#" + std::to_string(m_t.m_nodes[*it].number) + " -> ";
                }
                loop += "#" + std::to_string(m_t.m_nodes[n].number);
                throw TableError("graph " + GraphName(m_t.m_nodes[n].graph) +
                                 " can pass round a loop of optional graphs without a token (" +
                                 loop + ")");
            }
            state[n] = kOnPath;
            path.push_back(n);
        }
        for (const std::uint32_t n : path) {
            state[n] = kDone;
        }
    }

    // Graphs each graph can enter before consuming a token: the Graph edges
    // met from node 1 while passing optional graphs. No cycle may remain.
    const auto graphCount = static_cast<std::uint32_t>(m_t.m_graphs.size());
    std::vector<std::uint32_t> leftBegin(graphCount + 1, 0);
    std::vector<std::uint32_t> left;
    for (std::uint32_t g = 0; g < graphCount; ++g) {
        leftBegin[g] = static_cast<std::uint32_t>(left.size());
        for (std::uint32_t n = m_t.m_graphs[g].firstNode; n != Table::kNone; n = PassEmpty(n)) {
            const std::uint32_t e = GraphEdge(n);
            if (e != Table::kNone) {
                left.push_back(m_t.m_edges[e].graph);
            }
        }
    }
    leftBegin[graphCount] = static_cast<std::uint32_t>(left.size());

    // Depth first with an explicit stack, since chains of graphs can be long.
    std::vector<std::uint8_t> seen(graphCount, kNew);
    struct Frame {
        std::uint32_t graph;
        std::uint32_t next;  // the next index in left to follow
    };
    std::vector<Frame> stack;
    for (std::uint32_t root = 0; root < graphCount; ++root) {
        if (seen[root] != kNew) {
            continue;
        }
        stack.push_back({root, leftBegin[root]});
        seen[root] = kOnPath;
        while (!stack.empty()) {
            Frame& top = stack.back();
            if (top.next == leftBegin[top.graph + 1]) {
                seen[top.graph] = kDone;
                stack.pop_back();
                continue;
            }
            const std::uint32_t to = left[top.next++];
            if (seen[to] == kOnPath) {
                std::string chain;
                auto it = std::find_if(stack.begin(), stack.end(),
                                       [to](const Frame& f) { return f.graph == to; });
                for (; it != stack.end(); ++it) {
                    chain += m_t.m_graphs[it->graph].name + " -> ";
                }
                chain += m_t.m_graphs[to].name;
                throw TableError("left recursion: graph " + GraphName(to) +
                                 " can enter itself without consuming a token (" + chain + ")");
            }
            if (seen[to] == kNew) {
                seen[to] = kOnPath;
                stack.push_back({to, leftBegin[to]});
            }
        }
    }
}

void TableBuilder::ComputeFirstTokens() {
    // Node 1's Graph edge leads to one graph at most and, with left recursion
    // refused, never back: each graph's set is its node-1 tokens followed by
    // the set of the graph it enters, which is computed first.
    const auto graphCount = static_cast<std::uint32_t>(m_t.m_graphs.size());
    std::vector<std::uint32_t> next(graphCount, Table::kNone);
    for (std::uint32_t g = 0; g < graphCount; ++g) {
        const std::uint32_t e = GraphEdge(m_t.m_graphs[g].firstNode);
        if (e != Table::kNone) {
            next[g] = m_t.m_edges[e].graph;
        }
    }
    std::vector<bool> done(graphCount, false);
    std::vector<std::uint32_t> chain;
    std::vector<std::uint32_t> stamp(m_t.m_tokens.size(), Table::kNone);
    for (std::uint32_t root = 0; root < graphCount; ++root) {
        chain.clear();
        for (std::uint32_t g = root; g != Table::kNone && !done[g]; g = next[g]) {
            chain.push_back(g);
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            const std::uint32_t g = *it;
            Table::Graph& graph = m_t.m_graphs[g];
            const Table::Node& node1 = m_t.m_nodes[graph.firstNode];
            std::size_t size = 0;
            for (std::uint32_t e = node1.edgeBegin; e < node1.edgeEnd; ++e) {
                size += m_t.m_edges[e].graph == Table::kNone ? 1 : 0;
            }
            if (next[g] != Table::kNone) {
                const Table::Graph& entered = m_t.m_graphs[next[g]];
                size += entered.firstEnd - entered.firstBegin;
            }
            if (size > ParseTable::kMaxFirstTokens - m_t.m_first.size()) {
                throw TableError("the first-token sets hold more than " +
                                 std::to_string(ParseTable::kMaxFirstTokens) + " tokens in all");
            }
            graph.firstBegin = static_cast<std::uint32_t>(m_t.m_first.size());
            for (std::uint32_t e = node1.edgeBegin; e < node1.edgeEnd; ++e) {
                if (m_t.m_edges[e].graph == Table::kNone) {
                    m_t.m_first.push_back(m_t.m_edges[e].token);
                    stamp[m_t.m_edges[e].token] = g;
                }
            }
            if (next[g] != Table::kNone) {
                const Table::Graph& entered = m_t.m_graphs[next[g]];
                for (std::uint32_t k = entered.firstBegin; k < entered.firstEnd; ++k) {
                    const TokenId t = m_t.m_first[k];
                    if (stamp[t] == g) {
                        throw TableError("node #1 of graph " + GraphName(g) +
                                         " and node #1 of graph " + GraphName(next[g]) +
                                         " both start with " + Quoted(m_t.m_tokens[t]));
                    }
                    m_t.m_first.push_back(t);
                }
            }
            graph.firstEnd = static_cast<std::uint32_t>(m_t.m_first.size());
            done[g] = true;
        }
    }
    m_t.m_firstSorted = m_t.m_first;
    for (const Table::Graph& graph : m_t.m_graphs) {
        std::sort(m_t.m_firstSorted.begin() + graph.firstBegin,
                  m_t.m_firstSorted.begin() + graph.firstEnd);
    }
}

void TableBuilder::CheckFirstTokenConflicts() {
    for (std::uint32_t i = 0; i < m_t.m_nodes.size(); ++i) {
        const Table::Node& node = m_t.m_nodes[i];
        if (node.graphEdge == Table::kNone) {
            continue;
        }
        const std::uint32_t entered = m_t.m_edges[node.graphEdge].graph;
        for (std::uint32_t e = node.edgeBegin; e < node.edgeEnd; ++e) {
            const Table::Edge& edge = m_t.m_edges[e];
            if (edge.graph == Table::kNone &&
                m_t.StartsWith(static_cast<int>(entered), edge.token)) {
                throw TableError(NodeName(i) + " has a Token edge " +
                                 Quoted(m_t.m_tokens[edge.token]) + " and a Graph edge to graph " +
                                 GraphName(entered) + ", which starts with the same token");
            }
        }
    }
}

void TableBuilder::BuildDispatch(std::size_t maxDirectCells) {
    const std::size_t stride = m_t.m_tokens.size() + 1;
    m_t.m_direct = m_t.m_nodes.size() <= maxDirectCells / stride;
    m_t.m_stride = static_cast<std::uint32_t>(m_t.m_direct ? stride : 1);
    if (m_t.m_direct && m_t.m_nodes.size() * stride > Table::kMaxOperand) {
        m_t.m_direct = false;  // states would not fit in a cell's operand
    }

    for (Table::Graph& graph : m_t.m_graphs) {
        graph.start = m_t.StateOf(graph.firstNode);
    }
    for (Table::Edge& edge : m_t.m_edges) {
        edge.targetState = m_t.StateOf(edge.target);
        if (edge.graph != Table::kNone) {
            edge.startState = m_t.m_graphs[edge.graph].start;
        }
    }
    auto cell = [](Table::CellKind kind, std::uint32_t operand, std::uint32_t aux) {
        return Table::Cell{(operand << Table::kKindBits) | kind, aux};
    };
    auto tokenCell = [&](std::uint32_t e) {
        const Table::Edge& edge = m_t.m_edges[e];
        return cell(edge.action == Table::kNone ? Table::kConsume : Table::kConsumeAction,
                    edge.targetState, e);
    };
    auto enterCell = [&](std::uint32_t e) {
        const Table::Edge& edge = m_t.m_edges[e];
        return cell(Table::kEnter, edge.startState, Table::ReturnEntry(edge, e));
    };

    m_t.m_defaults.resize(m_t.m_nodes.size());
    for (std::uint32_t i = 0; i < m_t.m_nodes.size(); ++i) {
        const Table::Node& node = m_t.m_nodes[i];
        if (node.final) {
            m_t.m_defaults[i] = cell(Table::kReturn, 0, 0);
        } else if (node.graphEdge != Table::kNone && Optional(m_t.m_edges[node.graphEdge].graph)) {
            m_t.m_defaults[i] = cell(Table::kPass, node.graphEdge, 0);
        } else {
            m_t.m_defaults[i] = cell(Table::kReject, 0, 0);
        }
    }

    if (!m_t.m_direct) {
        for (std::uint32_t i = 0; i < m_t.m_nodes.size(); ++i) {
            const Table::Node& node = m_t.m_nodes[i];
            for (std::uint32_t e = node.edgeBegin; e < node.edgeEnd; ++e) {
                if (m_t.m_edges[e].graph == Table::kNone) {
                    m_t.m_tokenCells.emplace(Table::Key(i, m_t.m_edges[e].token), tokenCell(e));
                }
            }
        }
        return;
    }

    m_t.m_cells.resize(m_t.m_nodes.size() * stride);
    for (std::uint32_t i = 0; i < m_t.m_nodes.size(); ++i) {
        const Table::Node& node = m_t.m_nodes[i];
        Table::Cell* row = m_t.m_cells.data() + std::size_t{i} * stride;
        std::fill(row, row + stride, m_t.m_defaults[i]);
        if (node.graphEdge != Table::kNone) {
            const Table::Cell enter = enterCell(node.graphEdge);
            for (const TokenId t :
                 m_t.FirstTokens(static_cast<int>(m_t.m_edges[node.graphEdge].graph))) {
                row[t] = enter;
            }
        }
        for (std::uint32_t e = node.edgeBegin; e < node.edgeEnd; ++e) {
            if (m_t.m_edges[e].graph == Table::kNone) {
                row[m_t.m_edges[e].token] = tokenCell(e);
            }
        }
    }

    // Every row is known now, so each entering cell can see what node 1 of
    // the entered graph does with the same token.
    m_t.m_quietCells = m_t.m_cells;
    for (std::size_t k = 0; k < m_t.m_quietCells.size(); ++k) {
        Table::Cell& quiet = m_t.m_quietCells[k];
        const std::uint32_t operand = quiet.code >> Table::kKindBits;
        switch (quiet.code & Table::kKindMask) {
            case Table::kConsumeAction:
                quiet = cell(Table::kConsume, operand, quiet.aux);
                break;
            case Table::kEnter: {
                const std::uint32_t back =
                    (quiet.aux & 1) == 0 ? quiet.aux : m_t.m_edges[quiet.aux >> 1].targetState << 1;
                const TokenId token = static_cast<TokenId>(k % stride);
                const Table::Cell first = m_t.m_cells[operand + token];
                const std::uint32_t kind = first.code & Table::kKindMask;
                quiet = kind == Table::kConsume || kind == Table::kConsumeAction
                            ? cell(Table::kEnterConsume, first.code >> Table::kKindBits, back)
                            : cell(Table::kEnter, operand, back);
                break;
            }
            default:
                break;
        }
    }
}

ParseTable::Cell ParseTable::HashedCell(std::uint32_t node, TokenId token) const {
    const auto found = m_tokenCells.find(Key(node, token));
    if (found != m_tokenCells.end()) {
        return found->second;
    }
    const std::uint32_t e = m_nodes[node].graphEdge;
    if (e != kNone && StartsWith(static_cast<int>(m_edges[e].graph), token)) {
        const Edge& edge = m_edges[e];
        return Cell{(edge.startState << kKindBits) | kEnter, ReturnEntry(edge, e)};
    }
    return m_defaults[node];
}

ParseTable ParseTable::FromBytes(std::string_view bytes, std::size_t maxDirectCells) {
    ParseTable table;
    TableBuilder builder(table);
    builder.Read(bytes);
    builder.Resolve();
    builder.CheckNodes();
    builder.CheckLeftRecursion();
    builder.ComputeFirstTokens();
    builder.CheckFirstTokenConflicts();
    builder.BuildDispatch(maxDirectCells);
    return table;
}

ParseTable ParseTable::FromFile(const std::string& path, std::size_t maxDirectCells) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) {
        throw TableError(path + ": " + std::strerror(errno));
    }
    std::string bytes;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.append(buffer, n);
    }
    if (std::ferror(file.get())) {
        throw TableError(path + ": " + std::strerror(errno));
    }
    try {
        return FromBytes(bytes, maxDirectCells);
    } catch (const TableError& e) {
        throw TableError(path + ": " + e.what());
    }
}

TokenId ParseTable::FindToken(std::string_view text) const {
    const auto found = m_tokenIds.find(text);
    return found == m_tokenIds.end() ? kUnknownToken : found->second;
}

std::string ParseTable::DescribeToken(TokenId id) const {
    if (id == kEndOfInput) {
        return "end of input";
    }
    if (id >= m_tokens.size()) {
        return "an unknown token";
    }
    return Quoted(m_tokens[id]);
}

int ParseTable::FindGraph(std::string_view name) const {
    const auto found = m_graphIds.find(name);
    return found == m_graphIds.end() ? -1 : static_cast<int>(found->second);
}

std::span<const TokenId> ParseTable::FirstTokens(int graph) const {
    const Graph& g = m_graphs[static_cast<std::size_t>(graph)];
    return std::span<const TokenId>(m_first.data() + g.firstBegin, g.firstEnd - g.firstBegin);
}

bool ParseTable::StartsWith(int graph, TokenId token) const {
    const Graph& g = m_graphs[static_cast<std::size_t>(graph)];
    return std::binary_search(m_firstSorted.begin() + g.firstBegin,
                              m_firstSorted.begin() + g.firstEnd, token);
}

bool ParseTable::IsOptional(int graph) const {
    return m_nodes[m_graphs[static_cast<std::size_t>(graph)].firstNode].final;
}

}  // namespace lumo
