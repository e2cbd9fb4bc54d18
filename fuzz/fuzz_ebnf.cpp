// Fuzz target for the EBNF reader: whatever the text, reading it either
// refuses it with an error placed inside the text, or gives a document of
// deterministic graphs laid out on the canvas, which writes back as EBNF
// that reads as the same automata, saves and loads. Every violated property
// aborts, so libFuzzer (or the replay runner) stops at the first fault with
// its input.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "ebnf/export.h"
#include "ebnf/import.h"
#include "ebnf/layout.h"
#include "framework/archive.h"
#include "generate/parse_exception.h"
#include "model/grammar.h"

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_ebnf: %s\n", what);
        std::abort();
    }
}

// Lines and columns as an editor counts them: characters, not bytes.
bool InsideText(std::string_view text, ebnf::Position pos) {
    int line = 1, column = 1;
    for (const char ch : text) {
        if (line == pos.line && column == pos.column) {
            return true;
        }
        if (ch == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return line == pos.line && column == pos.column;  // the end of the text
}

void CheckGraph(const CGraph& graph) {
    const int r = CGraphNode::kRadius;
    for (int i = 0; i < graph.GetNodeCount(); ++i) {
        const CGraphElement* node = graph.GetElement(i);
        Check(node->GetNumber() == i + 1, "nodes are not numbered 1, 2, 3, ...");
        const CPoint c = node->GetCenter();
        Check(c.x >= r && c.y >= r && c.x <= ebnf::kCanvasSize - r && c.y <= ebnf::kCanvasSize - r,
              "a node off the canvas");
        std::set<ebnf::Label> labels;
        for (int j = 0; j < node->GetEdgeCount(); ++j) {
            const CEdge* e = node->GetEdge(j);
            Check(labels.insert({e->IsGraph(), e->GetInput(), e->GetAction()}).second,
                  "two edges of one label leave a node");
            Check(std::isfinite(e->GetOffset()), "a bend that is not a number");
            const CRect& l = e->GetLabelRect();
            for (int k = 0; k < graph.GetNodeCount(); ++k) {
                const CPoint d = graph.GetElement(k)->GetCenter();
                const double x = std::clamp<double>(d.x, l.left, l.right);
                const double y = std::clamp<double>(d.y, l.top, l.bottom);
                Check(std::hypot(x - d.x, y - d.y) >= r, "a label on a node");
            }
        }
        for (int k = 0; k < i; ++k) {
            const CPoint d = graph.GetElement(k)->GetCenter();
            Check(std::hypot(double(c.x) - d.x, double(c.y) - d.y) >= 2 * r, "nodes overlap");
        }
    }
}

// Writing the document as EBNF and reading that gives the same automata,
// and writing again gives the same text.
void CheckRoundTrip(const CGrammer& doc, const std::vector<ebnf::CompiledRule>& rules) {
    std::string written;
    try {
        written = ebnf::ExportEbnf(doc);
    } catch (const ebnf::ExportError& e) {
        // Graph names from a text are names and its inputs lie on one line,
        // so only an expression too long to write may be refused.
        Check(std::string_view(e.what()).find("would write more than") != std::string_view::npos,
              "an imported document cannot be written");
        return;
    }
    std::vector<ebnf::CompiledRule> again;
    try {
        again = ebnf::CompileGrammar(written);
    } catch (const ebnf::SyntaxError& e) {
        std::fprintf(stderr, "%s\n%s\n", e.Describe("written").c_str(), written.c_str());
        Check(false, "written EBNF does not read");
    }
    Check(again.size() == rules.size(), "written EBNF has other rules");
    for (std::size_t i = 0; i < rules.size(); ++i) {
        Check(again[i].name == rules[i].name, "a rule changed its name");
        Check(again[i].automaton == rules[i].automaton, "a rule changed its language");
    }
    CGrammer reread;
    ebnf::ImportEbnf(written, reread);
    Check(ebnf::ExportEbnf(reread) == written, "writing again gives other text");
}

void CheckSavesAndLoads(CGrammer& doc) {
    std::string saved;
    CArchive out(&saved);
    doc.Serialize(out);
    CGrammer loaded;
    loaded.DeleteContents();
    CArchive in(saved.data(), saved.size());
    try {
        loaded.Serialize(in);
    } catch (const CArchiveException&) {
        Check(false, "an imported document does not load");
    }
    try {
        doc.Validate();
    } catch (const CParseException& e) {
        Check(*e.GetMessage() != '\0', "a validation failure without a message");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<ebnf::CompiledRule> rules;
    CGrammer doc;
    try {
        rules = ebnf::CompileGrammar(text);
        ebnf::ImportEbnf(text, doc);
    } catch (const ebnf::SyntaxError& e) {
        Check(InsideText(text, e.GetPosition()), "an error placed outside the text");
        Check(*e.what() != '\0', "an error without a message");
        Check(doc.GetGraphCount() == 1, "a refused text changed the document");
        return 0;
    }
    Check(doc.GetGraphCount() == static_cast<int>(rules.size()), "a graph per rule");
    std::set<std::string> names;
    for (int i = 0; i < doc.GetGraphCount(); ++i) {
        Check(doc.GetGraphName(i) == rules[static_cast<std::size_t>(i)].name,
              "graphs out of order");
        Check(names.insert(doc.GetGraphName(i)).second, "two graphs of one name");
        CheckGraph(*doc.GetGraph(i));
    }
    Check(doc.GetGraphName(0) == "MAIN", "the first graph is not MAIN");
    CheckRoundTrip(doc, rules);
    CheckSavesAndLoads(doc);
    return 0;
}
