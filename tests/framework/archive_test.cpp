// An archive that stores through a sink hands its output over in pieces.

#include <gtest/gtest.h>

#include <algorithm>

#include "support/grammar_builder.h"

namespace {

TEST(StreamingArchive, HandsOverTheSameBytesInBoundedPieces) {
    CGrammer doc;
    lumo_test::BuildWorkedExample(doc);
    for (int i = 0; i < 400; ++i) {
        lumo_test::AddEdge(doc, 1, 2, std::string(300, char('a' + i % 26)) + std::to_string(i));
    }
    const std::string whole = lumo_test::Store(doc);
    ASSERT_GT(whole.size(), 2 * CArchive::kChunk);

    std::string joined;
    std::size_t largest = 0;
    int pieces = 0;
    CArchive ar([&](std::string_view piece) {
        joined.append(piece);
        largest = std::max(largest, piece.size());
        ++pieces;
    });
    doc.Serialize(ar);
    ar.Flush();
    EXPECT_EQ(joined, whole);
    EXPECT_GT(pieces, 2);
    // A piece is handed over once it passes the chunk size, by one write at
    // most.
    EXPECT_LT(largest, CArchive::kChunk + 400);
}

}  // namespace
