#include "lm_layout.h"

#include <climits>
#include <unordered_map>

namespace lm_layout {

namespace {

class Reader {
public:
    Reader(const uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool AtEnd() const { return m_pos == m_size; }

    bool Byte(uint8_t& value) {
        if (m_size - m_pos < 1) {
            return false;
        }
        value = m_data[m_pos++];
        return true;
    }

    bool U16(uint32_t& value) {
        uint8_t lo = 0, hi = 0;
        if (!Byte(lo) || !Byte(hi)) {
            return false;
        }
        value = lo | (uint32_t{hi} << 8);
        return true;
    }

    bool U32(uint32_t& value) {
        uint32_t lo = 0, hi = 0;
        if (!U16(lo) || !U16(hi)) {
            return false;
        }
        value = lo | (hi << 16);
        return true;
    }

    bool I32(int32_t& value) {
        uint32_t bits = 0;
        if (!U32(bits)) {
            return false;
        }
        value = static_cast<int32_t>(bits);
        return true;
    }

    bool Count(int32_t& value) { return I32(value) && value >= 0; }

    bool String(std::string& text) {
        uint8_t b = 0;
        if (!Byte(b)) {
            return false;
        }
        uint32_t n = b;
        if (b == 0xFF) {
            if (!U16(n)) {
                return false;
            }
            if (n == 0xFFFF && !U32(n)) {
                return false;
            }
        }
        if (m_size - m_pos < n) {
            return false;
        }
        text.assign(reinterpret_cast<const char*>(m_data + m_pos), n);
        m_pos += n;
        return true;
    }

private:
    const uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

void PutByte(std::string& out, uint8_t value) {
    out.push_back(static_cast<char>(value));
}

void PutU32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        PutByte(out, static_cast<uint8_t>(value >> shift));
    }
}

void PutI32(std::string& out, int32_t value) {
    PutU32(out, static_cast<uint32_t>(value));
}

void PutString(std::string& out, const std::string& text) {
    const std::size_t n = text.size();
    if (n < 0xFF) {
        PutByte(out, static_cast<uint8_t>(n));
    } else if (n < 0xFFFE) {
        PutByte(out, 0xFF);
        PutByte(out, static_cast<uint8_t>(n));
        PutByte(out, static_cast<uint8_t>(n >> 8));
    } else {
        out.append("\xFF\xFF\xFF", 3);
        PutU32(out, static_cast<uint32_t>(n));
    }
    out += text;
}

// Records are read one by one rather than reserved from the stored count, so
// a huge count costs nothing: each record consumes bytes, and the data runs
// out first.
bool ReadEdge(Reader& in, Edge& edge) {
    return in.Byte(edge.type) && in.I32(edge.target) && in.String(edge.input) &&
           in.String(edge.action) && in.U32(edge.offsetBits) && in.I32(edge.bottom) &&
           in.I32(edge.left) && in.I32(edge.top) && in.I32(edge.right);
}

bool ReadNode(Reader& in, Node& node) {
    int32_t nEdges = 0;
    if (!in.I32(node.signedNumber) || !in.I32(node.x) || !in.I32(node.y) || !in.Count(nEdges) ||
        !in.I32(node.refCount)) {
        return false;
    }
    for (int32_t i = 0; i < nEdges; ++i) {
        if (!ReadEdge(in, node.edges.emplace_back())) {
            return false;
        }
    }
    return true;
}

bool ReadGraph(Reader& in, Graph& graph) {
    int32_t nNodes = 0;
    if (!in.String(graph.name) || !in.Count(nNodes) || !in.I32(graph.lastNumber)) {
        return false;
    }
    for (int32_t i = 0; i < nNodes; ++i) {
        if (!ReadNode(in, graph.nodes.emplace_back())) {
            return false;
        }
    }
    return true;
}

bool GraphFollowsModel(const Graph& graph) {
    if (graph.nodes.empty()) {
        return false;
    }
    // Number -> edge ends counted so far.
    std::unordered_map<int32_t, int64_t> ends;
    for (const Node& node : graph.nodes) {
        const int32_t v = node.signedNumber;
        if (v == 0 || v == INT32_MIN) {
            return false;
        }
        const int32_t number = v < 0 ? -v : v;
        if (number > graph.lastNumber || !ends.emplace(number, 0).second) {
            return false;
        }
    }
    const int32_t first = graph.nodes.front().signedNumber;
    if (first != 1 && first != -1) {
        return false;
    }
    for (const Node& node : graph.nodes) {
        const int32_t from = node.signedNumber < 0 ? -node.signedNumber : node.signedNumber;
        for (const Edge& edge : node.edges) {
            const auto to = ends.find(edge.target);
            if (to == ends.end()) {
                return false;
            }
            ++to->second;
            ++ends[from];
        }
    }
    for (const Node& node : graph.nodes) {
        const int32_t number = node.signedNumber < 0 ? -node.signedNumber : node.signedNumber;
        if (ends[number] != node.refCount) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<Document> ReadLayout(const uint8_t* data, std::size_t size) {
    Reader in(data, size);
    Document doc;
    int32_t nGraphs = 0;
    if (!in.Count(nGraphs)) {
        return std::nullopt;
    }
    for (int32_t i = 0; i < nGraphs; ++i) {
        if (!ReadGraph(in, doc.graphs.emplace_back())) {
            return std::nullopt;
        }
    }
    if (!in.AtEnd()) {
        return std::nullopt;
    }
    return doc;
}

bool FollowsModel(const Document& doc) {
    if (doc.graphs.empty()) {
        return false;
    }
    for (const Graph& graph : doc.graphs) {
        if (!GraphFollowsModel(graph)) {
            return false;
        }
    }
    return true;
}

std::string Write(const Document& doc, int mode) {
    std::string out;
    PutI32(out, static_cast<int32_t>(doc.graphs.size()));
    for (const Graph& graph : doc.graphs) {
        PutString(out, graph.name);
        PutI32(out, static_cast<int32_t>(graph.nodes.size()));
        if (mode == 0) {
            PutI32(out, graph.lastNumber);
        }
        for (const Node& node : graph.nodes) {
            PutI32(out, node.signedNumber);
            if (mode == 0) {
                PutI32(out, node.x);
                PutI32(out, node.y);
            }
            PutI32(out, static_cast<int32_t>(node.edges.size()));
            if (mode == 0) {
                PutI32(out, node.refCount);
            }
            for (const Edge& edge : node.edges) {
                PutByte(out, edge.type != 0 ? 1 : 0);
                PutI32(out, edge.target);
                PutString(out, edge.input);
                PutString(out, edge.action);
                if (mode == 0) {
                    PutU32(out, edge.offsetBits);
                    PutI32(out, edge.bottom);
                    PutI32(out, edge.left);
                    PutI32(out, edge.top);
                    PutI32(out, edge.right);
                }
            }
        }
    }
    return out;
}

}  // namespace lm_layout
