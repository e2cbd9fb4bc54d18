// Reading a table file into a TableData, and resolving the names and
// numbers its records use to indexes.

#include <limits>
#include <unordered_map>

#include "bytes/byte_reader.h"
#include "runtime/internal/table_builder.h"

namespace lumo::internal {

namespace {

// The fields of a table, each read with a description of what it is, for
// the message when the table ends inside it. A count is refused when the
// bytes that remain could not hold that many of its smallest records, so
// nothing is allocated for data the table does not have.
class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes), m_size(bytes.size()) {}

    std::size_t Offset() const { return m_bytes.Offset(); }
    std::size_t Remaining() const { return m_bytes.Remaining(); }

    std::uint8_t Byte(const std::string& what) { return m_bytes.Byte(EndsIn{what, m_size}); }
    std::int32_t Int(const std::string& what) { return m_bytes.Int32(EndsIn{what, m_size}); }
    std::string_view String(const std::string& what) {
        return m_bytes.String(EndsIn{what, m_size});
    }
    std::uint32_t Count(std::size_t minRecordSize, const std::string& what) {
        const std::size_t at = Offset();
        const std::int32_t n = Int(what);
        if (n < 0) {
            throw Error(at, what + " is negative (" + std::to_string(n) + ")");
        }
        if (!m_bytes.CanHold(static_cast<std::size_t>(n), minRecordSize)) {
            throw Error(at, what + " is " + std::to_string(n) + ", more than the " +
                                std::to_string(Remaining()) + " bytes left can hold");
        }
        return static_cast<std::uint32_t>(n);
    }

    TableError Error(std::size_t at, const std::string& message) const {
        return TableError("byte " + std::to_string(at) + ": " + message);
    }

private:
    // Refuses a table that ends inside what.
    struct EndsIn {
        const std::string& what;
        std::size_t size;
        [[noreturn]] void operator()() const {
            throw TableError("the table ends early, at byte " + std::to_string(size) + ", inside " +
                             what);
        }
    };

    lumo_bytes::ByteReader m_bytes;
    std::size_t m_size;
};

// The smallest records: a graph has a name and node 1; a node a number and an
// edge count; an edge a type, a target and two strings.
constexpr std::size_t kMinNodeBytes = 8;
constexpr std::size_t kMinGraphBytes = 1 + 4 + kMinNodeBytes;
constexpr std::size_t kMinEdgeBytes = 1 + 4 + 1 + 1;

std::uint32_t Intern(StringIndex& index, std::vector<std::string>& names, std::string_view text) {
    const auto found = index.find(text);
    if (found != index.end()) {
        return found->second;
    }
    const auto id = static_cast<std::uint32_t>(names.size());
    names.emplace_back(text);
    index.emplace(names.back(), id);
    return id;
}

}  // namespace

void TableBuilder::Read(std::string_view bytes) {
    Reader r(bytes);
    const std::uint32_t graphCount = r.Count(kMinGraphBytes, "the graph count");
    if (graphCount == 0) {
        throw TableError("the table has no graph; it needs at least MAIN");
    }
    m_t.graphs.resize(graphCount);
    for (std::uint32_t g = 0; g < graphCount; ++g) {
        m_graphOffset.push_back(r.Offset());
        const std::string graphWhat =
            "graph " + std::to_string(g + 1) + " of " + std::to_string(graphCount);
        TableGraph& graph = m_t.graphs[g];
        graph.name = std::string(r.String("the name of " + graphWhat));
        const std::string where = "graph " + Quoted(graph.name);
        const std::uint32_t nodeCount = r.Count(kMinNodeBytes, "the node count of " + where);
        if (nodeCount == 0) {
            throw r.Error(r.Offset() - 4, where + " has no nodes");
        }
        graph.firstNode = static_cast<std::uint32_t>(m_t.nodes.size());
        graph.nodeCount = nodeCount;
        for (std::uint32_t i = 0; i < nodeCount; ++i) {
            const std::size_t at = r.Offset();
            const std::string nodeWhat = "node " + std::to_string(i + 1) + " of " + where;
            const std::int32_t number = r.Int(nodeWhat);
            if (number == 0 || number == std::numeric_limits<std::int32_t>::min()) {
                throw r.Error(at, nodeWhat + " has the number " + std::to_string(number));
            }
            TableNode node;
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
                TableEdge edge;
                if (!action.empty()) {
                    edge.action = static_cast<std::uint32_t>(m_t.actions.size());
                    m_t.actions.emplace_back(action);
                }
                if (!raw.graph) {
                    edge.token = Intern(m_t.tokenIds, m_t.tokens, raw.input);
                }
                m_raw.push_back(raw);
                m_t.edges.push_back(edge);
            }
            node.edgeEnd = static_cast<std::uint32_t>(m_raw.size());
            m_t.nodes.push_back(node);
        }
    }
    if (r.Remaining() != 0) {
        throw r.Error(r.Offset(), std::to_string(r.Remaining()) + " bytes follow the last graph");
    }
    // The operand of a dispatch cell holds a node or an edge index.
    if (m_t.nodes.size() > Cell::kMaxOperand || m_t.edges.size() > Cell::kMaxOperand) {
        throw TableError("the table has more nodes or edges than the parser can index");
    }
}

void TableBuilder::Resolve() {
    for (std::uint32_t g = 0; g < m_t.graphs.size(); ++g) {
        const std::string& name = m_t.graphs[g].name;
        if (!m_t.graphIds.emplace(name, g).second) {
            throw TableError("byte " + std::to_string(m_graphOffset[g]) +
                             ": two graphs are named " + Quoted(name));
        }
    }
    for (const TableGraph& graph : m_t.graphs) {
        std::unordered_map<std::int32_t, std::uint32_t> byNumber;
        byNumber.reserve(graph.nodeCount);
        for (std::uint32_t i = graph.firstNode; i < graph.firstNode + graph.nodeCount; ++i) {
            if (!byNumber.emplace(m_t.nodes[i].number, i).second) {
                throw TableError("graph " + Quoted(graph.name) + " has two nodes #" +
                                 std::to_string(m_t.nodes[i].number));
            }
        }
        for (std::uint32_t i = graph.firstNode; i < graph.firstNode + graph.nodeCount; ++i) {
            const TableNode& node = m_t.nodes[i];
            for (std::uint32_t e = node.edgeBegin; e < node.edgeEnd; ++e) {
                const RawEdge& raw = m_raw[e];
                TableEdge& edge = m_t.edges[e];
                const auto target = byNumber.find(raw.target);
                if (target == byNumber.end()) {
                    throw TableError(NodeName(i) + " has an edge to node #" +
                                     std::to_string(raw.target) + ", which the graph lacks");
                }
                edge.target = target->second;
                if (raw.graph) {
                    const auto entered = m_t.graphIds.find(raw.input);
                    if (entered == m_t.graphIds.end()) {
                        throw TableError(NodeName(i) + " has a Graph edge to graph " +
                                         Quoted(raw.input) + ", which the table lacks");
                    }
                    edge.graph = entered->second;
                }
            }
        }
    }
}

}  // namespace lumo::internal
