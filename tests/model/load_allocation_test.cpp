// A file never makes the loaders ask for more memory than its bytes stand for,
// whatever counts it claims. Its own executable: it replaces operator new.

#include <gtest/gtest.h>

#include "model/flat_grammar.h"
#include "support/allocation_watch.h"
#include "support/grammar_builder.h"

namespace {

using lumo_test::I32;
using lumo_test::Str;

// Loads bytes into a document (or, with flat, as lumo-gen reads them): why it
// was refused, empty when it loaded, and the largest allocation on the way.
std::pair<std::string, std::size_t> LoadWatched(std::string bytes, bool flat) {
    CGrammer doc;
    CFlatGrammar reader;
    lumo_test::AllocationWatch watch;
    try {
        flat ? reader.Load(std::move(bytes)) : lumo_test::Load(doc, bytes);
    } catch (const CArchiveException& e) {
        return {e.what(), watch.Largest()};
    }
    return {"", watch.Largest()};
}

// A count is checked against the bytes left divided by the smallest record it
// counts: one more than fits is refused before anything is reserved for it,
// even though the count alone would fit in the bytes; as many as fit load.
TEST(LoadAllocation, CountsAreCheckedAgainstTheRecordSizeBeforeAnyReserve) {
    const std::string node = I32(1) + std::string(16, '\0');
    std::string nodes, graphs, edges;  // 600 records each
    for (int n = 1; n <= 600; ++n) {
        nodes += I32(n) + std::string(16, '\0');
        graphs += Str("") + I32(1) + I32(1) + node;
        edges += std::string(1, '\0') + I32(1) + std::string(22, '\0');  // loops on node 1
    }
    // The file, and where its count of 600 records is.
    const std::pair<std::string, std::size_t> cases[] = {
        {I32(600) + graphs, 0},
        {I32(1) + Str("MAIN") + I32(600) + I32(600) + nodes, 9},
        {I32(1) + Str("MAIN") + I32(1) + I32(1) + I32(1) + I32(0) + I32(0) + I32(600) + I32(1200) +
             edges,
         29}};
    for (auto [file, countAt] : cases) {
        for (bool flat : {false, true}) {
            EXPECT_EQ(LoadWatched(file, flat).first, "") << "as many as fit";
        }
        file.replace(countAt, 4, I32(601));
        for (bool flat : {false, true}) {
            const auto [why, largest] = LoadWatched(file, flat);
            EXPECT_EQ(why, (flat ? "byte " + std::to_string(countAt + 4) + ": " : "") +
                               "count exceeds the data left");
            EXPECT_LE(largest, 1024u);
        }
    }
    // A string's length prefix is a count of bytes too.
    const std::string longName = I32(1) + std::string("\xFF\xFF\xFF\xF0\xFF\xFF\x7F", 7);
    EXPECT_LE(LoadWatched(longName + std::string(100, 'x'), false).second, 1024u);
}

}  // namespace
