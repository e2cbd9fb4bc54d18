// Validation, the two tables, what a failed step leaves; SVG drawings.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "framework/svg_surface.h"
#include "generate/parse_exception.h"
#include "generate/svg_export.h"
#include "model/flat_grammar.h"
#include "support/grammar_builder.h"
#include "support/message_capture.h"
#include "support/temp_dir.h"

namespace {

using lumo_test::ReadFile;
using lumo_test::TempDir;
namespace fs = std::filesystem;

// The message of the first violation, or "" when the grammar passes.
template <class Grammar>
std::string FirstViolation(Grammar& grammar) {
    try {
        grammar.Validate();
    } catch (const CParseException& e) {
        return e.GetMessage();
    }
    return "";
}

// The same, which lumo-gen's reading of the document must agree with.
std::string Violation(CGrammer& doc) {
    CFlatGrammar flat;
    flat.Load(lumo_test::Store(doc));
    EXPECT_EQ(FirstViolation(flat), FirstViolation(doc)) << "lumo-gen's reading disagrees";
    return FirstViolation(doc);
}

// Draws "FROM-INPUT->TO", "FROM-<GRAPH>->TO" and "N!" (final) into graph index,
// and after each "|" into the next graph.
void Draw(CGrammer& doc, int index, const std::string& drawing) {
    ASSERT_TRUE(doc.SelectGraph(index));
    std::istringstream in(drawing);
    for (std::string item; in >> item;) {
        if (item == "|") {
            ASSERT_TRUE(doc.SelectGraph(++index));
            continue;
        }
        const size_t dash = item.find('-'), arrow = item.rfind("->");
        const bool final = item.back() == '!';
        const int from = std::stoi(item), to = final ? from : std::stoi(item.substr(arrow + 2));
        lumo_test::AddNodes(
            doc, std::max(0, std::max(from, to) - doc.GetCurrentGraph()->GetLastNumber()));
        if (final) {
            lumo_test::MakeFinal(doc, from);
            continue;
        }
        const std::string input = item.substr(dash + 1, arrow - dash - 1);
        const bool graph = input.size() > 1 && input.front() == '<';
        lumo_test::AddEdge(doc, from, to, graph ? input.substr(1, input.size() - 2) : input, "",
                           graph);
    }
    doc.SelectGraph(0);
}

TEST(Validation, FindsTheFirstViolationWithItsMessage) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "Graph 'MAIN' doesn't have final node!"},
        {"1!", ""},
        // Check 1 runs over every graph, in index order, before check 2.
        {"1! 1-<LATER>->1 1-<NEVER>->1", "Graph 'LATER' doesn't have final node!"},
        {"2-<E>->3 2-<F>->4 4-<E>->3 4! | 1-end->2 2! | 1-end->2 2!",
         "Node #4 of graph MAIN has graph output!"},
        {"2-<E>->3 2-<F>->4 4-<E>->3 3! | 1-end->2 2! | 1-end->2 2!",
         "Node #2 of graph MAIN has more than one graph output!"},
        {"1-<E>->1 1-<F>->1 1! | 1-end->2 2! | 1-end->2 2!",
         "Node #1 of graph MAIN has graph output!"},
        // Node 1 compares only its tokens, byte for byte.
        {"1-a->2 1-A->2 2!", ""},
        {"1-a->2 1-A->2 1-a->2 2!", "Node #1 of graph \"MAIN\" has identical outputs!"},
        {"1-E->2 1-<E>->2 2-z->3 3! | 1-e->2 2!", ""},
        {"1-a->2 2-E->3 2-<E>->3 3! | 1-e->2 2!",
         "Node #2 of graph \"MAIN\" has identical outputs!"},
        // First-token sets along node-1 Graph edges.
        {"1-x->2 1-<E>->2 2! | 1-x->2 2!",
         "Node #1 of graph \"MAIN\" and node #1 of Graph \"E\" have identical outputs!"},
        {"1-<E>->2 2! | 1-<E>->2 2!", ""},
        {"1-<E>->2 2! | 1-<E>->2 2! 1-y->2",
         "Node #1 of graph \"E\" and node #1 of Graph \"E\" have identical outputs!"},
        {"1-<A>->2 2! | 1-<B>->2 1-a->2 2! | 1-<A>->2 1-b->2 2!",
         "Node #1 of graph \"A\" and node #1 of Graph \"B\" have identical outputs!"},
        // Other nodes against the graph they enter, directly or down a chain.
        {"1-start->2 2-x->3 2-<E>->3 3! | 1-x->2 2!",
         "Node #2 of graph \"MAIN\" has the same outputs as node #1 of Graph \"E\"!"},
        {"1-start->2 2-x->3 2-<E>->3 3! | 1-<F>->2 2! | 1-x->2 2!",
         "Node #2 of graph \"MAIN\" has the same outputs as node #1 of Graph \"E\"!"},
        // A Graph edge back into MAIN is checked as any other.
        {"1-a->2 2-a->3 2-<MAIN>->3 3!",
         "Node #2 of graph \"MAIN\" has the same outputs as node #1 of Graph \"MAIN\"!"},
    };
    for (const auto& [drawing, expected] : cases) {
        CGrammer doc;
        Draw(doc, 0, drawing);
        EXPECT_EQ(Violation(doc), expected) << drawing;
    }
}

TEST(Validation, NamesNodesByNumberNotSlot) {
    CGrammer doc;
    lumo_test::AddNodes(doc, 3);
    ASSERT_TRUE(doc.DeleteNode(lumo_test::CentreOf(doc, 2)));
    Draw(doc, 0, "1-go->3 3-t->4 3-t->4 4!");
    EXPECT_EQ(Violation(doc), "Node #3 of graph \"MAIN\" has identical outputs!");
}

// The worked example's binary table, byte for byte (spaces aside).
const char* const kWorkedTable =
    "02000000 044D41494E 03000000 "                             // 2 graphs; MAIN: 3 nodes
    "01000000 01000000 00 02000000 0161 054070757368 "          // 1: a @push -> 2
    "02000000 01000000 01 03000000 0145 00 FDFFFFFF 00000000 "  // 2: E -> 3; final 3
    "0145 02000000 01000000 01000000 00 02000000 0162 00 FEFFFFFF 00000000";  // E

std::string Hex(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        out += std::string{"0123456789ABCDEF"[c >> 4], "0123456789ABCDEF"[c & 15]};
    }
    return out;
}

// The worked example's text table; every line ends in CR LF.
std::string WorkedText() {
    const std::string rule = std::string(90, '-') + "\n\n";
    std::string text =
        "Textual Parse Table Generated by Lumo ver. 1.0\n\nThe Number of Graphs: 2\n\n" + rule +
        "Graph  \"MAIN\" :\n\tThe Number of Nodes: 3\n"
        "\tNode  1:\n\t\tThe Number of Output Edges: 1\n\t\tToken\t\"a\"\t\t2\t\t@push\n"
        "\tNode  2:\n\t\tThe Number of Output Edges: 1\n\t\tGraph\t\"E\"\t\t3\t\t\n"
        "\tFinal Node  3:\n\t\tThe Number of Output Edges: 0\nEnd\n\n" +
        rule +
        "Graph  \"E\" :\n\tThe Number of Nodes: 2\n"
        "\tNode  1:\n\t\tThe Number of Output Edges: 1\n\t\tToken\t\"b\"\t\t2\t\t\n"
        "\tFinal Node  2:\n\t\tThe Number of Output Edges: 0\nEnd\n\n";
    return std::regex_replace(text, std::regex("\n"), "\r\n");
}

size_t FileCount(const TempDir& dir) {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(dir.Root()), fs::directory_iterator()));
}

class GenerateTables : public ::testing::Test {
protected:
    GenerateTables() {
        lumo_test::BuildWorkedExample(m_doc);
        m_doc.SetSaveAsPrompt([this](CDocument&) {
            ++m_asked;
            return m_answer;
        });
    }
    std::string Path(const char* name) const { return m_dir.Path(name); }

    TempDir m_dir;
    lumo_test::MessageCapture m_messages;
    CGrammer m_doc;
    int m_asked = 0;
    std::optional<std::string> m_answer;
};

TEST_F(GenerateTables, WorkedExampleGivesTheReferenceTables) {
    m_answer = Path("expr");  // the tables' names replace the final extension, if any
    ASSERT_TRUE(m_doc.Generate());
    EXPECT_EQ(m_asked, 1);
    std::string table = kWorkedTable;
    std::erase(table, ' ');
    EXPECT_EQ(Hex(ReadFile(Path("expr.pt"))), table);
    EXPECT_EQ(ReadFile(Path("expr.txt")), WorkedText());
    // The document was saved first, in its own format.
    EXPECT_EQ(ReadFile(Path("expr")), lumo_test::Store(m_doc));
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_EQ(m_doc.GetMode(), 0);
    EXPECT_TRUE(m_messages.Messages().empty());
    ASSERT_TRUE(m_doc.Generate());  // under its own name now, without asking
    EXPECT_EQ(m_asked, 1);
    EXPECT_EQ(CGrammer::TablePath("/g.d/a.b.lm", ".txt"), "/g.d/a.b.txt");
}

TEST_F(GenerateTables, TextAndBinaryTablesCarryStringsUnchanged) {
    // Lengths around the text writer's line buffer, and one past it.
    m_doc.SelectGraph(1);
    const std::string action(255, '@');
    std::vector<std::string> inputs;
    for (const std::size_t n : {220, 241, 242, 243, 300}) {
        inputs.push_back(std::string(n, 'q') + "\"\t");
        lumo_test::AddEdge(m_doc, 1, 2, inputs.back(), action);
    }
    m_doc.WriteParseTables(Path("t.pt"), Path("t.txt"));
    const std::string pt = ReadFile(Path("t.pt")), txt = ReadFile(Path("t.txt"));
    for (const std::string& input : inputs) {
        EXPECT_NE(pt.find(input + std::string("\xFF\xFF\x00", 3) + action), std::string::npos)
            << input.size();
        EXPECT_NE(txt.find("\t\tToken\t\"" + input + "\"\t\t2\t\t" + action + "\r\n"),
                  std::string::npos)
            << input.size();
    }
}

TEST_F(GenerateTables, CancelledFailedOrRefusedSaveWritesNothing) {
    EXPECT_FALSE(m_doc.Generate());  // Save As cancelled
    m_answer = Path("missing-folder/g.lm");
    EXPECT_FALSE(m_doc.Generate());
    EXPECT_EQ(FileCount(m_dir), 0u);
    m_answer = Path("g.lm");  // an invalid grammar is neither saved nor written
    ASSERT_TRUE(m_doc.Generate());
    const std::string saved = ReadFile(Path("g.lm")), table = ReadFile(Path("g.pt"));
    lumo_test::MakeFinal(m_doc, 3);
    EXPECT_FALSE(m_doc.Generate());
    EXPECT_EQ(m_messages.Messages().back(), "Graph 'MAIN' doesn't have final node!");
    EXPECT_EQ(m_messages.Icons().back(), MessageIcon::Warning);
    EXPECT_EQ(ReadFile(Path("g.lm")) + ReadFile(Path("g.pt")), saved + table);
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(GenerateTables, UnwritableTableKeepsThePreviousOneAndTheDocumentMode) {
    m_answer = Path("g.lm");
    ASSERT_TRUE(m_doc.Generate());
    // The text table cannot be replaced: a folder stands in its place.
    fs::remove(Path("g.txt"));
    fs::create_directory(Path("g.txt"));
    lumo_test::AddEdge(m_doc, 1, 2, "c");
    EXPECT_FALSE(m_doc.Generate());
    EXPECT_EQ(m_messages.Messages(), std::vector<std::string>{Path("g.txt") + ": Is a directory"});
    EXPECT_EQ(m_doc.GetMode(), 0);
    // Every object is back in mode 0: saving writes the document format.
    ASSERT_TRUE(m_doc.OnSaveDocument(Path("after.lm")));
    CGrammer reloaded;
    EXPECT_TRUE(reloaded.OnOpenDocument(Path("after.lm")));
}

// Either table that would be the document itself, here through a hard link, is refused.
TEST_F(GenerateTables, OverTheDocumentIsRefusedAndTheDocumentKeptByteIdentical) {
    ASSERT_TRUE(m_doc.OnSaveDocument(Path("g.lm")));
    const std::string before = ReadFile(Path("g.lm"));
    for (const char* table : {"g.pt", "g.txt"}) {
        ASSERT_EQ(::link(Path("g.lm").c_str(), Path(table).c_str()), 0);
        EXPECT_FALSE(m_doc.Generate());
        EXPECT_EQ(ReadFile(Path("g.lm")), before);
        EXPECT_EQ(FileCount(m_dir), 2u) << "no table written over " << table;
        fs::remove(Path(table));
    }
    EXPECT_EQ(m_messages.Messages().size(), 2u);
}

TEST(SvgExport, SafeAndUniqueFileNames) {
    // clang-format off
    for (const auto& [name, stem] : {std::pair{"EXPR", "EXPR"}, {"a/b c", "a_b_c"},
            {"../x", "graph.._x"}, {"", "graph"}, {"\xC3\xA9t-\xC3\xA9", "__t-__"}}) {
        EXPECT_EQ(SafeFileStem(name), stem);
    }
    // clang-format on
    CGrammer doc;
    for (const char* name : {"x y", "X Y", "x/y"}) {  // X Y differs only in case
        lumo_test::AddGraphEdge(doc, 1, 1, name);
    }
    TempDir dir;
    std::vector<std::string> names;
    for (const std::string& f : ExportSvg(doc, dir.Path("out/deeper"))) {
        names.push_back(fs::path(f).filename().string());
        EXPECT_TRUE(fs::exists(f));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"MAIN.svg", "x_y.svg", "X_Y-2.svg", "x_y-3.svg"}));
}

TEST(SvgExport, CallsBecomeShapesCroppedToTheDrawing) {
    CGrammer doc;
    doc.AddNode({300, 100});
    doc.ToggleNodeFinal({300, 100});
    lumo_test::AddEdge(doc, 1, 2, "a<b&\"c\"");
    lumo_test::AddEdge(doc, 2, 1, "back");
    lumo_test::AddEdge(doc, 1, 1, std::string("ba\t\xFF\x01", 5));
    CSvgSurface svg;
    doc.Draw(&svg);
    const std::string out = svg.Document("MAIN & co");
    const auto count = [&out](const char* what) {
        const std::regex re(what);
        return std::distance(std::sregex_iterator(out.begin(), out.end(), re), {});
    };
    EXPECT_EQ(out.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg", 0), 0u);
    EXPECT_NE(out.find("<title>MAIN &amp; co</title>"), std::string::npos);
    EXPECT_EQ(count("<ellipse"), 3);  // two nodes and the loop
    EXPECT_EQ(count("<path"), 3);     // the arc and its two barbs
    EXPECT_EQ(count("<line"), 3);     // the straight edge and its arrow
    EXPECT_NE(out.find(">a&lt;b&amp;&quot;c&quot;</text>"), std::string::npos);
    // Not UTF-8 reads as Latin-1; a control character is replaced, a tab kept.
    EXPECT_NE(out.find(">ba\t\xC3\xBF\xEF\xBF\xBD</text>"), std::string::npos);
    EXPECT_NE(out.find("fill=\"#ff0000\""), std::string::npos);
    // The arc on its box (-20, -316, 420, 124), counterclockwise from node 1.
    EXPECT_NE(out.find("<path d=\"M100.02,99.97 A220,220 0 0,0 299.98,99.97\""), std::string::npos);
    // Cropped with the margin: loop label (80, 68) to node 2 (315), arc label (132).
    EXPECT_NE(out.find("width=\"259\" height=\"88\" viewBox=\"68 56 259 88\""), std::string::npos);
}

}  // namespace
