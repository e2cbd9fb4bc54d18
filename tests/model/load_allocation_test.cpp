// A file never makes the loaders ask for more memory than its bytes stand for,
// whatever counts it claims. Its own executable: it replaces operator new.

#include <gtest/gtest.h>

#include "support/allocation_watch.h"

#include "model/flat_grammar.h"
#include "support/grammar_builder.h"

namespace {

using lumo_test::I32;
using lumo_test::Str;

struct Watched {
    std::string refusal;  // empty when loaded
    std::size_t largest = 0, total = 0;
};

// Loads bytes into the document (or, with flat, as lumo-gen reads them) and
// reports the largest and total allocations made on the way.
Watched LoadWatched(const std::string& bytes, bool flat) {
    Watched w;
    CGrammer doc;
    doc.DeleteContents();
    CFlatGrammar reader;
    std::string copy = bytes;
    lumo_test::AllocationWatch watch;
    try {
        flat ? reader.Load(std::move(copy)) : lumo_test::Load(doc, bytes);
    } catch (const CArchiveException& e) {
        w.refusal = e.what();
    }
    return {w.refusal, watch.Largest(), watch.Total()};
}

const std::string kNode = I32(1) + I32(0) + I32(0) + I32(0) + I32(0);

TEST(LoadAllocation, HundredByteFilesStayWithinAFewKilobytes) {
    const std::string files[] = {
        I32(0x7FFFFFF0) + Str("MAIN") + I32(1) + I32(1) + kNode,
        I32(1) + Str("MAIN") + I32(0x7FFFFFF0) + I32(1) + kNode,
        I32(1) + Str("MAIN") + I32(1) + I32(1) + I32(1) + I32(0) + I32(0) + I32(0x7FFFFFF0) +
            I32(0),
        I32(1) + std::string("\xFF\xFF\xFF\xF0\xFF\xFF\x7F", 7) + "MAIN",
        I32(1) + Str("MAIN") + I32(1) + I32(1) + I32(1) + I32(0) + I32(0) + I32(1) + I32(0) +
            std::string(1, '\0') + I32(1) + std::string("\xFF\xFE\xFF", 3),
        // Many small claims that each fit: the file's own size bounds them.
        I32(3) + (Str("G") + I32(1) + I32(1) + kNode) + (Str("H") + I32(1) + I32(1) + kNode) +
            (Str("I") + I32(1) + I32(1) + I32(1) + I32(0) + I32(0) + I32(3) + I32(0)),
    };
    for (std::string file : files) {
        file.resize(100, '\x01');
        for (bool flat : {false, true}) {  // lumo-gen's reading keeps the file, little beside
            const Watched w = LoadWatched(file, flat);
            EXPECT_TRUE(w.largest <= 2048 && w.total <= 8192) << w.largest << " " << w.total;
        }
    }
}

// A count is checked against the bytes left divided by the smallest record it
// counts: one more than fits is refused before anything is reserved for it,
// even when the count alone would fit in the bytes; as many as fit load.
TEST(LoadAllocation, CountsAreCheckedAgainstTheRecordSizeBeforeAnyReserve) {
    const std::string edge = std::string(1, '\0') + I32(1) + std::string(22, '\0');  // 27 bytes
    const std::string graph = Str("") + I32(1) + I32(1) + kNode;                     // 29 bytes
    std::string nodes, graphs, edges;  // as many records as fit exactly
    for (int n = 1; n <= 800; ++n) {
        nodes += I32(n) + std::string(16, '\0');
        graphs += n <= 600 ? graph : "";
        edges += n <= 600 ? edge : "";
    }
    struct Case {
        const char* what;
        std::string head;  // up to the records
        std::size_t countAt;
        int count;
        std::string rest;
    };
    const Case cases[] = {
        {"graphs", I32(600), 0, 600, graphs},
        {"nodes", I32(1) + Str("MAIN") + I32(800) + I32(800), 9, 800, nodes},
        {"edges",
         I32(1) + Str("MAIN") + I32(1) + I32(1) + I32(1) + I32(0) + I32(0) + I32(600) + I32(1200),
         29, 600, edges},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string file = c.head + c.rest;
        for (bool flat : {false, true}) {
            EXPECT_EQ(LoadWatched(file, flat).refusal, "") << "as many as fit";
        }
        // One more record claimed than the bytes hold, yet far fewer than the bytes.
        file.replace(c.countAt, 4, I32(c.count + 1));
        ASSERT_LT(c.count + 1, static_cast<int>(c.rest.size()));
        const Watched doc = LoadWatched(file, false);
        EXPECT_EQ(doc.refusal, "count exceeds the data left");
        EXPECT_LE(doc.largest, 1024u);
        EXPECT_EQ(LoadWatched(file, true).refusal,
                  "byte " + std::to_string(c.countAt + 4) + ": count exceeds the data left");
    }
}

}  // namespace
