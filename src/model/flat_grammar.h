#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/document_format.h"
#include "model/validation_queries.h"

class CArchive;

// A grammar document as lumo-gen uses it: read once, validated, written out
// as parse tables, never edited or drawn. The file's bytes are kept whole,
// and graphs, nodes and edges sit in three arrays whose strings are views
// into those bytes, so loading costs a few arrays instead of three objects
// per edge. It refuses exactly the files CGrammer refuses, validates through
// the same checks and writes the tables through the same records, so the
// two always agree.
class CFlatGrammar {
public:
    class Edge {
    public:
        bool IsGraph() const { return m_bGraph; }
        const std::string_view& GetInput() const { return m_input; }
        std::string_view GetAction() const { return m_action; }
        int GetToNumber() const { return m_nTo; }

    private:
        friend class CFlatGrammar;
        explicit Edge(const document_format::EdgeRecord& edge)
            : m_input(edge.input),
              m_action(edge.action),
              m_nTo(edge.target),
              m_bGraph(edge.graph) {}

        std::string_view m_input;
        std::string_view m_action;
        int32_t m_nTo = 0;
        bool m_bGraph = false;
    };

    class Node {
    public:
        int GetNumber() const { return m_nNumber; }
        bool IsFinal() const { return m_bFinal; }
        int GetEdgeCount() const { return m_nEdges; }
        const Edge* GetEdge(int nIndex) const { return m_pEdges + nIndex; }
        const std::string_view* FindGraphOutput() const {
            return validation_queries::FindGraphOutput(*this);
        }

    private:
        friend class CFlatGrammar;
        Node(const document_format::NodeRecord& node, const document_format::NodeEdgeCounts& counts,
             std::size_t firstEdge)
            : m_nFirstEdge(firstEdge),
              m_nEdges(counts.edges),
              m_nRefCount(counts.refCount),
              m_nNumber(node.number),
              m_bFinal(node.final) {}

        const Edge* m_pEdges = nullptr;
        std::size_t m_nFirstEdge = 0;
        int32_t m_nEdges = 0;
        int32_t m_nRefCount = 0;
        int32_t m_nNumber = 0;
        bool m_bFinal = false;
    };

    // A graph, with the queries and working state of validation that
    // CGraph has.
    class Graph {
    public:
        std::string_view GetName() const { return m_name; }
        int GetNodeCount() const { return m_nNodes; }
        const Node* GetElement(int nIndex) const { return m_pNodes + nIndex; }

        bool HasFinalNode() const { return validation_queries::HasFinalNode(*this); }
        bool FindFinalWithGraphOutput(int& nNumber) const {
            return validation_queries::FindFinalWithGraphOutput(*this, nNumber);
        }
        bool FindMultipleGraphOutputs(int& nNumber) const {
            return validation_queries::FindMultipleGraphOutputs(*this, nNumber);
        }
        bool InitFirstTokens() {
            m_bVisited = false;
            return m_firstTokens.Init(*m_pNodes);
        }
        bool IsVisited() const { return m_bVisited; }
        void ToggleVisited() { m_bVisited = !m_bVisited; }
        std::string_view GetNodeGraphOutput(int nIndex) const {
            const std::string_view* output = GetElement(nIndex)->FindGraphOutput();
            return output != nullptr ? *output : std::string_view();
        }
        const std::vector<std::string_view>& GetFirstTokens(int& nCount) const {
            nCount = static_cast<int>(m_firstTokens.Tokens().size());
            return m_firstTokens.Tokens();
        }
        bool AddFirstTokens(const std::vector<std::string_view>& tokens, int nCount) {
            return m_firstTokens.Append(tokens, nCount);
        }
        bool HasFirstToken(std::string_view token) const { return m_firstTokens.Contains(token); }
        bool NodeHasDuplicateInputs(int nIndex) const {
            return validation_queries::HasDuplicateInputs(*GetElement(nIndex));
        }

    private:
        friend class CFlatGrammar;
        Graph(const document_format::GraphRecord& graph, std::size_t firstNode)
            : m_name(graph.name),
              m_nFirstNode(firstNode),
              m_nNodes(graph.nodes),
              m_nLastNumber(graph.lastNumber) {}

        std::string_view m_name;
        const Node* m_pNodes = nullptr;
        std::size_t m_nFirstNode = 0;
        int32_t m_nNodes = 0;
        int32_t m_nLastNumber = 0;
        bool m_bVisited = false;
        validation_queries::FirstTokenSet<std::string_view> m_firstTokens;
    };

    CFlatGrammar() = default;
    // Views point into the grammar's own bytes: it stays where it is.
    CFlatGrammar(const CFlatGrammar&) = delete;
    CFlatGrammar& operator=(const CFlatGrammar&) = delete;

    // Reads a document from its bytes, which the grammar keeps. Refuses,
    // with CArchiveException, what CGrammer's loader refuses: a file that
    // ends early, has trailing bytes or breaks the model. A refused load
    // leaves the grammar empty.
    void Load(std::string bytes);

    int GetGraphCount() const { return static_cast<int>(m_graphs.size()); }
    Graph* GetGraph(int nIndex) { return &m_graphs[static_cast<std::size_t>(nIndex)]; }
    const Graph* GetGraph(int nIndex) const { return &m_graphs[static_cast<std::size_t>(nIndex)]; }

    // The checks of CGrammer::Validate; throws CParseException.
    void Validate();
    // One table, in output mode 1 (binary) or 2 (text).
    void WriteTable(CArchive& ar, int nMode) const;
    // Both tables, each replacing its file atomically; throws CFileException.
    void WriteParseTables(const std::string& ptPath, const std::string& txtPath) const;

private:
    void Read();
    void Clear();

    std::string m_bytes;
    std::vector<Graph> m_graphs;
    std::vector<Node> m_nodes;
    std::vector<Edge> m_edges;
};
