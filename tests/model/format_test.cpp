// The document file: exact bytes, round trips, and refusal of files that end
// early or break the model, each for its own reason.

#include <gtest/gtest.h>

#include <string>

#include "framework/archive.h"
#include "model/flat_grammar.h"
#include "support/grammar_builder.h"
#include "support/message_capture.h"
#include "support/temp_dir.h"

namespace {

using lumo_test::Build;
using lumo_test::I32;
using lumo_test::Store;
using lumo_test::Str;

// A grammar with a bit of everything the format carries.
void BuildRichGrammar(CGrammer& doc) {
    lumo_test::AddNodes(doc, 4);
    ASSERT_TRUE(doc.DeleteNode(lumo_test::CentreOf(doc, 3)));  // a gap: 1, 2, 4, 5
    Build(doc, {{1, 2, "a", "@push"}, {2, 1, "back"}, {1, 2, "again"}, {4, 4, "loop"}}, {5});
    Build(doc, {{4, 4, "loop2", "@x"}, lumo_test::GraphArc(2, 4, "EXPR")});
    lumo_test::AddEdge(doc, 4, 5, std::string(254, 's'), std::string(255, 'A'));
    doc.GetCurrentGraph()->GetElement(0)->GetEdge(0)->SetLabelRect({-5, 7, 300, 9000});
    doc.GetCurrentGraph()->GetElement(0)->GetEdge(0)->SetOffset(-2.75f);
    Build(doc, "EXPR", {{1, 2, std::string("with\0nul\"quote\ttab", 18)}}, {2});
}

// Why loading the bytes into a document (or, with flat, reading them as
// lumo-gen does) throws; empty when they load.
std::string Refusal(const std::string& bytes, bool flat = false) {
    try {
        CGrammer doc;
        flat ? CFlatGrammar().Load(bytes) : lumo_test::Load(doc, bytes);
    } catch (const CArchiveException& e) {
        return e.what();
    }
    return "";
}

TEST(DocumentBytes, NewDocumentWithFinalNodeOneIs37BytesAndAnEdgeRecord) {
    CGrammer doc;
    doc.ToggleNodeFinal({100, 100});
    EXPECT_EQ(Store(doc), std::string("\x01\0\0\0\x04MAIN\x01\0\0\0\x01\0\0\0\xFF\xFF\xFF\xFF"
                                      "d\0\0\0d\0\0\0\0\0\0\0\0\0\0\0",
                                      37));
    Build(doc, {{1, 2, "first"}, {2, 1, "a"}});  // the second edge of the pair: bend +1
    doc.GetCurrentGraph()->GetElement(1)->GetEdge(0)->SetLabelRect({1, 2, 3, 4});
    const std::string bytes = Store(doc), record = std::string(1, '\0') + I32(1) + Str("a") +
                                                   std::string("\0\0\0\x80\x3F", 5) + I32(4) +
                                                   I32(1) + I32(2) + I32(3);
    EXPECT_EQ(bytes.substr(bytes.size() - record.size()), record);  // the last record
}

TEST(DocumentBytes, StringLengthPrefixes) {
    const std::pair<size_t, std::string> cases[] = {
        {254, "\xFE"},
        {255, std::string("\xFF\xFF\x00", 3)},
        {65533, "\xFF\xFD\xFF"},
        {65534, std::string("\xFF\xFF\xFF\xFE\xFF\0\0", 7)}};
    for (const auto& [length, prefix] : cases) {
        std::string out;
        CArchive ar(&out);
        ar.WriteString(std::string(length, 'x'));
        EXPECT_EQ(out, prefix + std::string(length, 'x')) << length;
        CArchive in(out.data(), out.size());
        EXPECT_TRUE(in.ReadString().size() == length && in.Remaining() == 0);
    }
}

TEST(DocumentRoundTrip, SaveLoadSaveGivesTheSameBytesAndJoinsTheEdges) {
    CGrammer doc;
    BuildRichGrammar(doc);
    lumo_test::AddEdge(doc, 2, 2, std::string(65533, 'm'), std::string(65534, 'n'));
    std::string first = Store(doc);
    CGrammer loaded;
    lumo_test::Load(loaded, first);
    EXPECT_EQ(Store(loaded), first);
    EXPECT_EQ(loaded.GetCurrentGraph(), loaded.GetGraph(0));
    const CGraph* main = loaded.GetGraph(0);
    const CGraphElement* node4 = main->GetElement(2);
    EXPECT_EQ(node4->GetEdge(0)->GetFrom(), node4);
    EXPECT_EQ(node4->GetRefCount(), 6);  // two loops, one edge in, one out
    EXPECT_EQ(main->GetElement(0)->GetEdge(0)->GetTo(), main->GetElement(1));
    EXPECT_EQ(loaded.AddNode({1000, 1000})->GetNumber(), 6);
    // A loaded edge releases its nodes when deleted, as a drawn one does.
    node4->GetEdge(0)->SetLabelRect({0, 0, 5, 5});
    ASSERT_TRUE(loaded.DeleteEdge({1, 1}));
    EXPECT_EQ(node4->GetRefCount(), 4);

    first[first.find(Str("a") + Str("@push")) - 5] = '\x07';  // any non-zero type: a Graph edge
    lumo_test::Load(loaded, first);
    EXPECT_TRUE(loaded.GetGraph(0)->GetElement(0)->GetEdge(0)->IsGraph());
}

TEST(OpenDocument, TruncatedAtEveryOffsetIsRefused) {
    CGrammer doc;
    BuildRichGrammar(doc);
    const std::string bytes = Store(doc);
    ASSERT_GT(bytes.size(), 600u);
    for (size_t n = 1; n < bytes.size(); ++n) {
        EXPECT_TRUE(Refusal(bytes.substr(0, n)) != "" && Refusal(bytes.substr(0, n), true) != "")
            << n;
    }
}

std::string OneGraph(int nodeCount, int lastNumber, const std::string& nodes) {
    return I32(1) + Str("MAIN") + I32(nodeCount) + I32(lastNumber) + nodes;
}
std::string Node(int number, int edges, int refs, const std::string& edgeBytes = "") {
    return I32(number) + I32(100) + I32(100) + I32(edges) + I32(refs) + edgeBytes;
}
std::string Edge(int target, const std::string& input = "t") {
    return std::string(1, '\0') + I32(target) + Str(input) + Str("") + std::string(20, '\0');
}

// Opening each must fail with a warning that names the file and leave the
// document as after File New; the loader's own reason, and lumo-gen's reading,
// name why.
TEST(OpenDocument, FilesThatBreakTheModelAreRefusedEachForItsReason) {
    const std::string node1 = Node(1, 0, 0);
    const int far = 2'000'000'000;  // numbers too far apart for a table indexed by number
    const std::string refs = "reference count does not match the edges";
    const std::pair<std::string, std::string> cases[] = {
        {I32(0), "no graphs"},
        {I32(-1), "negative count"},
        // Long enough for the graph count: the node count is what refuses it.
        {I32(2) + Str("MAIN") + I32(0) + I32(1) + Str(std::string(20, 'G')) + I32(1) + I32(1) +
             node1,
         "graph without nodes"},
        {OneGraph(-1, 1, node1), "negative count"},
        {OneGraph(1, 2, Node(2, 0, 0)), "first node is not node 1"},
        {OneGraph(2, 2, node1 + Node(0, 0, 0)), "invalid node number"},
        {OneGraph(2, 2, node1 + Node(INT32_MIN, 0, 0)), "invalid node number"},
        {OneGraph(2, 2, node1 + Node(1, 0, 0)), "repeated node number"},
        {OneGraph(2, 2, node1 + Node(-1, 0, 0)), "repeated node number"},
        {OneGraph(2, 2, node1 + Node(3, 0, 0)), "node number above the last number given"},
        {OneGraph(1, -5, node1), "node number above the last number given"},
        {OneGraph(1, 1, Node(1, -1, 0)), "negative count"},
        {OneGraph(1, 1, Node(1, 1, 2, Edge(2))), "edge to a missing node"},
        {OneGraph(1, 1, Node(1, 1, 1, Edge(1))), refs},
        // The target's count too low: it could be deleted under its edge.
        {OneGraph(2, 2, Node(1, 1, 1, Edge(2)) + Node(2, 0, 0)), refs},
        // A count that must not be touched as the refused graph goes.
        {OneGraph(2, 2, Node(1, 1, INT32_MIN, Edge(2)) + Node(2, 0, 1)), refs},
        {OneGraph(1, 1, node1) + "x", "data after the last graph"},
        {I32(1) + std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 7) + std::string(30, 'x'),
         "unexpected end of data"},
        {I32(0x7FFFFFFF), "count exceeds the data left"},
        {OneGraph(0x7FFFFFFF, 1, node1), "count exceeds the data left"},
        {OneGraph(1, 1, Node(1, 0x7FFFFFFF, 0)), "count exceeds the data left"},
        {OneGraph(3, far, node1 + Node(far, 0, 0) + Node(-far, 0, 0)), "repeated node number"},
        {OneGraph(2, far, Node(1, 1, 1, Edge(far - 1)) + Node(far, 0, 0)),
         "edge to a missing node"},
    };
    lumo_test::TempDir dir;
    const std::string path = dir.Path("bad.lm");
    for (const auto& [bytes, why] : cases) {
        lumo_test::WriteFile(path, bytes);
        lumo_test::MessageCapture messages;
        CGrammer doc, fresh;
        BuildRichGrammar(doc);
        doc.SetPathName(dir.Path("before.lm"));
        EXPECT_FALSE(doc.OnOpenDocument(path));
        EXPECT_EQ(messages.Messages(),
                  std::vector<std::string>{path + ": Unexpected file format."});
        EXPECT_EQ(messages.Icons(), std::vector<MessageIcon>{MessageIcon::Warning});
        EXPECT_TRUE(Store(doc) == Store(fresh) && doc.GetCurrentGraph() == doc.GetGraph(0) &&
                    doc.GetPathName().empty() && !doc.IsModified());
        EXPECT_EQ(Refusal(bytes), why);
        EXPECT_TRUE(Refusal(bytes, true).ends_with(why)) << why;
    }
}

// Gaps, a final node written negative, a loop counted twice; lumo-gen's
// reading takes numbers far apart too. An empty file opens as a new grammar.
TEST(OpenDocument, ValidFilesStillOpen) {
    lumo_test::TempDir dir;
    lumo_test::MessageCapture messages;
    const std::string bytes =
        OneGraph(2, 9, Node(1, 1, 1, Edge(7)) + Node(-7, 1, 3, Edge(7, "loop")));
    lumo_test::WriteFile(dir.Path("ok.lm"), bytes);
    CGrammer doc;
    ASSERT_TRUE(doc.OnOpenDocument(dir.Path("ok.lm")));
    EXPECT_TRUE(doc.GetCurrentGraph()->GetElement(1)->IsFinal());
    EXPECT_EQ(doc.AddNode({0, 0})->GetNumber(), 10);
    const int far = 2'000'000'000;
    EXPECT_EQ(Refusal(I32(2) + Str("MAIN") + I32(2) + I32(far) + Node(1, 1, 2, Edge(far)) +
                          Node(-far, 1, 2, Edge(1, "back")) + bytes.substr(4),
                      true),
              "");
    lumo_test::WriteFile(dir.Path("empty.lm"), "");
    ASSERT_TRUE(doc.OnOpenDocument(dir.Path("empty.lm")));
    EXPECT_TRUE(doc.GetCurrentGraph()->GetNodeCount() == 1 &&
                doc.GetPathName() == dir.Path("empty.lm"));
    EXPECT_TRUE(messages.Messages().empty());
}

}  // namespace
