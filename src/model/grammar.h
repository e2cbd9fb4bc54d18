#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/document.h"
#include "framework/geometry.h"
#include "model/edit_history.h"
#include "model/graph.h"

// The grammar document: every syntax graph of one language, "MAIN" first.
// Graphs are only ever appended, so an index names a graph for as long as
// the document is open. Editing requests go to the current graph.
class CGrammer : public CDocument {
public:
    // Holds "MAIN" with node 1 at (100, 100) and is not modified.
    CGrammer();
    ~CGrammer() override;

    bool OnNewDocument() override;
    // A successful save makes the state saved the history's clean state.
    bool OnSaveDocument(const std::string& path) override;
    // Also empties the history: New starts without one.
    void DeleteContents() override;
    // Storing writes the document in the current output mode (0 document,
    // 1 binary parse table, 2 textual parse table). Loading refuses, with
    // CArchiveException, a file that ends early, has trailing bytes or breaks
    // the model.
    void Serialize(CArchive& ar) override;
    // Open: replaces the graphs by those read, and empties the history.
    void LoadContents(CArchive& ar) override;
    // Sets the output mode on the document and everything it holds.
    void SetMode(int nMode);
    int GetMode() const { return m_nMode; }

    int GetGraphCount() const { return static_cast<int>(m_pGraphs.size()); }
    std::string GetGraphName(int nIndex) const { return m_pNames[static_cast<size_t>(nIndex)]; }
    CGraph* GetGraph(int nIndex) { return m_pGraphs[static_cast<size_t>(nIndex)].get(); }
    const CGraph* GetGraph(int nIndex) const {
        return m_pGraphs[static_cast<size_t>(nIndex)].get();
    }
    CGraph* GetCurrentGraph() const { return m_pCurrent; }
    int GetCurrentIndex() const;
    bool SelectGraph(int nIndex);

    // The edits of the document as undoable steps; the editor edits through
    // it. The operations below change the document without recording.
    CEditHistory& GetHistory() { return m_history; }
    const CEditHistory& GetHistory() const { return m_history; }

    // Editing the current graph; see each for whether it marks the document
    // modified.
    CGraphElement* AddNode(CPoint pt);  // always
    CGraphNode* FindNode(CPoint pt);    // never
    void Draw(CDC* pDC);                // never: draws the current graph
    void MoveSelectedNode(CPoint pt);   // always
    CEdge* FindEdge(CPoint pt);         // always: finding starts a change of it
    bool DeleteNode(CPoint pt);         // when a node was deleted
    bool DeleteEdge(CPoint pt);         // when an edge was deleted
    // A new edge from the picked node to the node at pt, or, with bExisting,
    // new properties for the edge whose label is at pt. A Graph edge that
    // names no graph yet appends one. Always marks the document modified.
    void AddEdge(CPoint pt, const std::string& strInput, const std::string& strAction, bool bGraph,
                 bool bExisting);
    // Flips the final flag of the node at pt; marks the document modified
    // when there is one.
    bool ToggleNodeFinal(CPoint pt);
    // The graph named strName: the existing one, or a new one appended with
    // node 1 at (100, 100), as a Graph edge naming it would. The current
    // graph stays; the modified flag is not touched. For building documents
    // from text.
    CGraph* AddGraph(const std::string& strName);

    // Validation: the four checks in order; the first violation throws
    // CParseException with its message.
    void Validate();
    void CheckFinalNodes();
    void CheckFinalGraphOutputs();
    void CheckGraphOutputCount();
    void CheckAmbiguity();
    // The index of the first graph named strName, or -1.
    int FindGraph(const std::string& strName) const;

    // Run > Generate: validates (a violation is shown as a warning), saves
    // the document (asking for a name when it has none), and writes the
    // binary and textual parse tables beside it. A table that would be the
    // document's own file is refused, before the save and after it, with a
    // warning. Returns whether the tables were written; every failure has
    // been reported when it returns false.
    bool Generate();
    // Writes both tables, each atomically; throws CFileException. The
    // grammar is not validated here.
    void WriteParseTables(const std::string& ptPath, const std::string& txtPath);
    // The table names of a document: its path with the final extension
    // replaced by ".pt" and ".txt".
    static std::string TablePath(const std::string& documentPath, const char* extension);
    static constexpr const char* kTableIsDocument =
        "the table would overwrite the grammar document";

    // A new graph at the end, with node 1 at (100, 100), as a Graph edge
    // naming it creates it; and the removal of the last graph, for undoing
    // that. The current graph moves to MAIN if it was the one removed.
    CGraph* AppendGraph(const std::string& strName);
    void RemoveLastGraph();

private:
    void BuildInitialGrammar();

    std::vector<std::string> m_pNames;
    CGraph* m_pCurrent = nullptr;
    std::vector<std::unique_ptr<CGraph>> m_pGraphs;
    int m_nMode = 0;
    CEditHistory m_history{*this};
};
