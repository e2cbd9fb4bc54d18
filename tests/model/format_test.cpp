// The document file: exact bytes, round trips, and refusal of files that end
// early or break the model.

#include <gtest/gtest.h>

#include <string>

#include "framework/archive.h"
#include "model/flat_grammar.h"
#include "support/grammar_builder.h"
#include "support/message_capture.h"
#include "support/temp_dir.h"

namespace {

using lumo_test::AddEdge;
using lumo_test::AddGraphEdge;
using lumo_test::AddNodes;
using lumo_test::CentreOf;
using lumo_test::I32;
using lumo_test::Load;
using lumo_test::Store;
using lumo_test::Str;

std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty()) {
            out += ' ';
        }
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// A grammar with a bit of everything the format carries.
void BuildRichGrammar(CGrammer& doc) {
    AddNodes(doc, 4);
    ASSERT_TRUE(doc.DeleteNode(CentreOf(doc, 3)));  // a gap: 1, 2, 4, 5
    AddEdge(doc, 1, 2, "a", "@push");
    AddEdge(doc, 2, 1, "back");
    AddEdge(doc, 1, 2, "again");
    AddEdge(doc, 4, 4, "loop");
    AddEdge(doc, 4, 4, "loop2", "@x");
    AddGraphEdge(doc, 2, 4, "EXPR");
    AddEdge(doc, 4, 5, std::string(254, 's'), std::string(255, 'A'));
    doc.GetCurrentGraph()->GetElement(0)->GetEdge(0)->SetLabelRect({-5, 7, 300, 9000});
    doc.GetCurrentGraph()->GetElement(0)->GetEdge(0)->SetOffset(-2.75f);
    lumo_test::MakeFinal(doc, 5);
    ASSERT_TRUE(doc.SelectGraph(1));
    AddNodes(doc, 1);
    AddEdge(doc, 1, 2, std::string("with\0nul\"quote\ttab", 18));
    lumo_test::MakeFinal(doc, 2);
    // Saving records no current graph: after loading it is graph 0.
}

TEST(DocumentBytes, NewDocumentWithFinalNodeOneIs37Bytes) {
    CGrammer doc;
    doc.ToggleNodeFinal({100, 100});
    EXPECT_EQ(Hex(Store(doc)),
              "01 00 00 00 04 4D 41 49 4E 01 00 00 00 01 00 00 00 FF FF FF FF "
              "64 00 00 00 64 00 00 00 00 00 00 00 00 00 00 00");
}

TEST(DocumentBytes, EdgeRecord) {
    CGrammer doc;
    AddNodes(doc, 1);
    AddEdge(doc, 1, 2, "first");
    AddEdge(doc, 2, 1, "a");  // the second edge of the pair: bend +1
    CEdge* edge = doc.GetCurrentGraph()->GetElement(1)->GetEdge(0);
    edge->SetLabelRect({1, 2, 3, 4});
    const std::string bytes = Store(doc);
    const std::string record = std::string(1, '\0') + I32(1) + Str("a") + std::string(1, '\0') +
                               std::string("\x00\x00\x80\x3F", 4) + I32(4) + I32(1) + I32(2) +
                               I32(3);
    ASSERT_EQ(record.size(), 1u + 4 + 2 + 1 + 4 + 16);
    ASSERT_GT(bytes.size(), record.size());
    EXPECT_EQ(Hex(bytes.substr(bytes.size() - record.size())), Hex(record));  // the last record
}

TEST(DocumentBytes, StringLengthPrefixes) {
    struct Case {
        size_t length;
        std::string prefix;
    };
    for (const Case& c :
         {Case{254, "\xFE"}, Case{255, std::string("\xFF\xFF\x00", 3)}, Case{65533, "\xFF\xFD\xFF"},
          Case{65534, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)}}) {
        std::string out;
        CArchive ar(&out);
        ar.WriteString(std::string(c.length, 'x'));
        EXPECT_EQ(out.substr(0, c.prefix.size()), c.prefix) << c.length;
        EXPECT_EQ(out.size(), c.prefix.size() + c.length);
        CArchive in(out.data(), out.size());
        EXPECT_EQ(in.ReadString().size(), c.length);
        EXPECT_EQ(in.Remaining(), 0u);
    }
}

TEST(DocumentRoundTrip, SaveLoadSaveGivesTheSameBytes) {
    CGrammer doc;
    BuildRichGrammar(doc);
    AddEdge(doc, 2, 2, std::string(65533, 'm'), std::string(65534, 'n'));
    const std::string first = Store(doc);

    CGrammer loaded;
    Load(loaded, first);
    EXPECT_EQ(Store(loaded), first);
    EXPECT_EQ(loaded.GetCurrentGraph(), loaded.GetGraph(0));
    ASSERT_EQ(loaded.GetGraphCount(), 2);
    EXPECT_EQ(loaded.GetGraphName(1), "EXPR");
}

TEST(DocumentRoundTrip, LoadedEdgesAreJoinedAndNumberingContinues) {
    CGrammer doc;
    BuildRichGrammar(doc);
    CGrammer loaded;
    Load(loaded, Store(doc));

    const CGraph* main = loaded.GetGraph(0);
    ASSERT_EQ(main->GetNodeCount(), 4);
    EXPECT_EQ(main->GetElement(2)->GetNumber(), 4);
    const CGraphElement* node4 = main->GetElement(2);
    EXPECT_EQ(node4->GetEdge(0)->GetFrom(), node4);
    EXPECT_EQ(node4->GetEdge(0)->GetTo(), node4);
    EXPECT_EQ(node4->GetRefCount(), 6);  // two loops, one edge in, one out
    EXPECT_EQ(main->GetElement(0)->GetEdge(0)->GetTo(), main->GetElement(1));
    EXPECT_EQ(main->GetElement(0)->GetEdge(0)->GetOffset(), -2.75f);
    EXPECT_EQ(main->GetElement(0)->GetEdge(0)->GetLabelRect(), (CRect{-5, 7, 300, 9000}));
    EXPECT_TRUE(main->GetElement(3)->IsFinal());

    EXPECT_EQ(loaded.AddNode({1000, 1000})->GetNumber(), 6);
    // A loaded edge releases its nodes when deleted, as a drawn one does.
    main->GetElement(2)->GetEdge(0)->SetLabelRect({0, 0, 5, 5});
    ASSERT_TRUE(loaded.DeleteEdge({1, 1}));
    EXPECT_EQ(node4->GetRefCount(), 4);
}

TEST(DocumentRoundTrip, AnyNonZeroTypeByteIsAGraphEdge) {
    CGrammer doc;
    AddNodes(doc, 1);
    AddEdge(doc, 1, 2, "x");
    std::string bytes = Store(doc);
    const size_t type = bytes.find(Str("x")) - 4 - 1;
    bytes[type] = '\x07';
    CGrammer loaded;
    Load(loaded, bytes);
    EXPECT_TRUE(loaded.GetGraph(0)->GetElement(0)->GetEdge(0)->IsGraph());
}

class OpenDocument : public ::testing::Test {
protected:
    // Opening the bytes must fail with the format message and leave the
    // document as after File New.
    void ExpectRefused(const std::string& bytes, const std::string& why) {
        SCOPED_TRACE(why);
        lumo_test::WriteFile(m_dir.Path("bad.lm"), bytes);
        CGrammer doc;
        BuildRichGrammar(doc);
        doc.SetPathName(m_dir.Path("before.lm"));
        EXPECT_FALSE(doc.OnOpenDocument(m_dir.Path("bad.lm")));
        EXPECT_EQ(doc.GetLastErrorMessage(), "Unexpected file format.");
        ExpectFreshDocument(doc);
        ExpectFlatRefuses(bytes);
    }
    // lumo-gen's reading refuses the same files and keeps nothing of them.
    static void ExpectFlatRefuses(const std::string& bytes) {
        CFlatGrammar flat;
        EXPECT_THROW(flat.Load(bytes), CArchiveException);
        EXPECT_EQ(flat.GetGraphCount(), 0);
    }
    static void ExpectFreshDocument(const CGrammer& doc) {
        ASSERT_EQ(doc.GetGraphCount(), 1);
        EXPECT_EQ(doc.GetGraphName(0), "MAIN");
        ASSERT_NE(doc.GetCurrentGraph(), nullptr);
        EXPECT_EQ(doc.GetCurrentGraph()->GetNodeCount(), 1);
        EXPECT_EQ(doc.GetCurrentGraph()->GetElement(0)->GetCenter(), (CPoint{100, 100}));
        EXPECT_EQ(doc.GetPathName(), "");
        EXPECT_FALSE(doc.IsModified());
    }
    // One graph "MAIN" with the given node records.
    static std::string OneGraph(int nodeCount, int lastNumber, const std::string& nodes) {
        return I32(1) + Str("MAIN") + I32(nodeCount) + I32(lastNumber) + nodes;
    }
    static std::string Node(int number, int edges, int refs, const std::string& edgeBytes = "") {
        return I32(number) + I32(100) + I32(100) + I32(edges) + I32(refs) + edgeBytes;
    }
    static std::string Edge(int target, const std::string& input = "t") {
        return std::string(1, '\0') + I32(target) + Str(input) + Str("") + I32(0) + I32(0) +
               I32(0) + I32(0) + I32(0);
    }

    lumo_test::TempDir m_dir;
    lumo_test::MessageCapture m_messages;
};

TEST_F(OpenDocument, TruncatedAtEveryOffsetIsRefused) {
    CGrammer doc;
    BuildRichGrammar(doc);
    const std::string bytes = Store(doc);
    ASSERT_GT(bytes.size(), 600u);
    for (size_t n = 1; n < bytes.size(); ++n) {
        CGrammer loaded;
        EXPECT_THROW(Load(loaded, bytes.substr(0, n)), CArchiveException) << n;
        EXPECT_EQ(loaded.GetGraphCount(), 0);
        ExpectFlatRefuses(bytes.substr(0, n));
    }
    // And through the file, where the document must come back fresh.
    for (size_t n : {size_t{1}, size_t{4}, size_t{9}, bytes.size() / 2, bytes.size() - 1}) {
        ExpectRefused(bytes.substr(0, n), "truncated at " + std::to_string(n));
    }
}

TEST_F(OpenDocument, FilesThatBreakTheModelAreRefused) {
    const std::string node1 = Node(1, 0, 0);
    ExpectRefused(I32(0), "no graphs");
    ExpectRefused(I32(-1), "negative graph count");
    ExpectRefused(OneGraph(0, 1, ""), "graph without nodes");
    ExpectRefused(OneGraph(-1, 1, node1), "negative node count");
    ExpectRefused(OneGraph(1, 2, Node(2, 0, 0)), "first node is not 1");
    ExpectRefused(OneGraph(2, 2, node1 + Node(0, 0, 0)), "node number 0");
    ExpectRefused(OneGraph(2, 2, node1 + Node(INT32_MIN, 0, 0)), "unnegatable number");
    ExpectRefused(OneGraph(2, 2, node1 + Node(1, 0, 0)), "repeated number");
    ExpectRefused(OneGraph(2, 2, node1 + Node(-1, 0, 0)), "repeated number, final");
    ExpectRefused(OneGraph(2, 2, node1 + Node(3, 0, 0)), "last number below a node");
    ExpectRefused(OneGraph(1, -5, node1), "negative last number");
    ExpectRefused(OneGraph(1, 1, Node(1, -1, 0)), "negative edge count");
    ExpectRefused(OneGraph(1, 1, Node(1, 1, 2, Edge(2))), "edge to a missing node");
    ExpectRefused(OneGraph(1, 1, Node(1, 1, 1, Edge(1))), "loop counted once");
    ExpectRefused(OneGraph(2, 2, Node(1, 1, 1, Edge(2)) + Node(2, 0, 0)),
                  "target's count too low: it could be deleted under its edge");
    ExpectRefused(OneGraph(2, 2, Node(1, 1, INT32_MIN, Edge(2)) + Node(2, 0, 1)),
                  "a count that must not be touched as the refused graph goes");
    ExpectRefused(OneGraph(1, 1, node1) + "x", "trailing byte");
    ExpectRefused(I32(1) + std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 7), "huge name");
    ExpectRefused(I32(0x7FFFFFFF), "huge graph count");
    ExpectRefused(OneGraph(0x7FFFFFFF, 1, node1), "huge node count");
    ExpectRefused(OneGraph(1, 1, Node(1, 0x7FFFFFFF, 0)), "huge edge count");
    // Numbers too far apart for a table indexed by number.
    const int far = 2'000'000'000;
    ExpectRefused(OneGraph(3, far, node1 + Node(far, 0, 0) + Node(-far, 0, 0)),
                  "repeated number, far apart");
    ExpectRefused(OneGraph(2, far, Node(1, 1, 1, Edge(far - 1)) + Node(far, 0, 0)),
                  "edge to a missing node, far apart");
}

TEST_F(OpenDocument, ValidFilesStillOpen) {
    // Gaps, a final node written negative, a loop counted twice.
    const std::string bytes =
        OneGraph(2, 9, Node(1, 1, 1, Edge(7)) + Node(-7, 1, 3, Edge(7, "loop")));
    lumo_test::WriteFile(m_dir.Path("ok.lm"), bytes);
    CGrammer doc;
    ASSERT_TRUE(doc.OnOpenDocument(m_dir.Path("ok.lm")));
    EXPECT_TRUE(doc.GetCurrentGraph()->GetElement(1)->IsFinal());
    EXPECT_EQ(doc.GetTitle(), "ok.lm");
    EXPECT_EQ(doc.AddNode({0, 0})->GetNumber(), 10);
    EXPECT_TRUE(m_messages.Messages().empty());

    // lumo-gen's reading takes them too, numbers far apart included, and
    // writes the tables the document writes.
    const int far = 2'000'000'000;
    const std::string sparse = I32(2) + Str("MAIN") + I32(2) + I32(far) + Node(1, 1, 2, Edge(far)) +
                               Node(-far, 1, 2, Edge(1, "back")) + bytes.substr(4);
    for (const std::string& file : {bytes, sparse}) {
        CGrammer loaded;
        Load(loaded, file);
        CFlatGrammar flat;
        ASSERT_NO_THROW(flat.Load(file));
        for (int mode : {1, 2}) {
            std::string expected, written;
            loaded.SetMode(mode);
            CArchive fromDocument(&expected);
            loaded.Serialize(fromDocument);
            loaded.SetMode(0);
            CArchive fromFlat(&written);
            flat.WriteTable(fromFlat, mode);
            EXPECT_EQ(written, expected) << "mode " << mode;
        }
    }
}

TEST_F(OpenDocument, ZeroLengthFileOpensAsNewGrammarUnderItsName) {
    lumo_test::WriteFile(m_dir.Path("empty.lm"), "");
    CGrammer doc;
    BuildRichGrammar(doc);
    ASSERT_TRUE(doc.OnOpenDocument(m_dir.Path("empty.lm")));
    EXPECT_EQ(doc.GetGraphCount(), 1);
    EXPECT_EQ(doc.GetCurrentGraph()->GetNodeCount(), 1);
    EXPECT_EQ(doc.GetPathName(), m_dir.Path("empty.lm"));
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(OpenDocument, UnreadableFileLeavesTheDocumentAsItWas) {
    CGrammer doc;
    AddNodes(doc, 2);
    doc.SetPathName(m_dir.Path("mine.lm"));
    EXPECT_FALSE(doc.OnOpenDocument(m_dir.Path("missing.lm")));
    EXPECT_EQ(doc.GetLastErrorMessage(), "No such file or directory");
    EXPECT_FALSE(doc.OnOpenDocument(m_dir.Root()));
    EXPECT_EQ(doc.GetLastErrorMessage(), "Is a directory");
    EXPECT_EQ(doc.GetCurrentGraph()->GetNodeCount(), 3);
    EXPECT_EQ(doc.GetPathName(), m_dir.Path("mine.lm"));
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(m_messages.Messages().size(), 2u);
    EXPECT_NE(m_messages.Messages()[0].find("missing.lm"), std::string::npos);
}

}  // namespace
