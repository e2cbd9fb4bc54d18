// Loading parse tables: what Lumo writes loads; anything else is refused, saying what and where.

#include <gtest/gtest.h>

#include "runtime/parse_table.h"
#include "table_bytes.h"

namespace {

using lumo::ParseTable;
using lumo_test::I32;
using lumo_test::PtBytes;
using lumo_test::Texts;

std::string First(const ParseTable& table, const std::string& graph) {
    return Texts(table, {table.FirstTokens(table.FindGraph(graph)).begin(),
                         table.FirstTokens(table.FindGraph(graph)).end()});
}

// The message of the TableError that loading the bytes throws, or "".
std::string Refusal(const std::string& bytes) {
    try {
        ParseTable::FromBytes(bytes);
    } catch (const lumo::TableError& e) {
        return e.what();
    }
    return "";
}

TEST(ParseTable, LoadsTheTablesLumoWritesButNotCutOrExtended) {
    CGrammer doc;
    lumo_test::BuildWorkedExample(doc);
    doc.SetMode(1);  // as Generate writes the binary table
    const std::string bytes = lumo_test::Store(doc);
    ASSERT_EQ(bytes.size(), 88u);
    const ParseTable worked = ParseTable::FromBytes(bytes);
    ASSERT_EQ(worked.GraphCount(), 2);
    EXPECT_EQ(worked.GraphName(0), "MAIN");
    EXPECT_EQ(First(worked, "MAIN") + "|" + First(worked, "E"), "a|b");
    EXPECT_EQ(worked.FindToken("E"), lumo::kUnknownToken) << "graph names are not tokens";
    for (size_t n = 0; n < bytes.size(); ++n) {
        EXPECT_NE(Refusal(bytes.substr(0, n)), "") << "a table cut to " << n << " bytes loaded";
    }
    EXPECT_EQ(Refusal(bytes.substr(0, 87)),
              "the table ends early, at byte 87, inside the edge count of node #2 of graph \"E\"");
    EXPECT_EQ(Refusal(bytes + '\0'), "byte 88: 1 bytes follow the last graph");

    // Node 1's tokens, then those of the graph its node 1 enters, down the chain.
    const ParseTable arith = ParseTable::FromFile(LUMO_SOURCE_DIR "/examples/arith.pt");
    EXPECT_EQ(First(arith, "MAIN") + "|" + First(arith, "Term"), "num ( -|num ( -");
    EXPECT_TRUE(arith.IsDirect());
    const ParseTable json = ParseTable::FromFile(LUMO_SOURCE_DIR "/examples/json.pt");
    EXPECT_EQ(First(json, "Elements"), "string number true false null { [");
    EXPECT_TRUE(json.IsOptional(json.FindGraph("Members")));
    EXPECT_FALSE(json.IsOptional(json.FindGraph("Value")));
}

// Counts are checked against the bytes left / record size (graph 13, node 8, edge 7).
TEST(ParseTable, RefusesCountsAndLengthsTheBytesCannotHold) {
    const std::string node = I32(-1) + I32(0), main = "\x04MAIN", none(1, '\0');
    const std::string graph = none + I32(1) + node;  // 13 bytes
    const std::string edge = none + I32(1) + none + none;
    const std::pair<std::string, const char*> cases[] = {
        {I32(0x7FFFFFF0) + main + I32(1) + node,
         "byte 0: the graph count is 2147483632, more than the 17 bytes left can hold"},
        {I32(-3) + main + I32(1) + node, "byte 0: the graph count is negative (-3)"},
        {I32(1) + main + I32(0x7FFFFFF0) + node,
         "byte 9: the node count of graph \"MAIN\" is 2147483632, more than the 8 bytes left "
         "can hold"},
        {I32(1) + main + I32(1) + I32(1) + I32(0x40000000),
         "byte 17: the edge count of node #1 of graph \"MAIN\" is 1073741824, more than the 0 "
         "bytes left can hold"},
        {I32(1) + std::string("\xFF\xFF\xFF\xF0\xFF\xFF\x7F", 7) + "MAIN" + I32(1) + node,
         "the table ends early, at byte 27, inside the name of graph 1 of 1"},
        // One record more than the bytes hold, though fewer than the bytes.
        {I32(2) + graph, "byte 0: the graph count is 2, more than the 13 bytes left can hold"},
        {I32(1) + main + I32(2) + node,
         "byte 9: the node count of graph \"MAIN\" is 2, more than the 8 bytes left can hold"},
        {I32(1) + main + I32(1) + I32(-1) + I32(2) + edge,
         "byte 17: the edge count of node #1 of graph \"MAIN\" is 2, more than the 7 bytes "
         "left can hold"},
        // Exactly as many as the bytes hold.
        {I32(1) + main + I32(1) + I32(-1) + I32(1) + edge, ""},
        {I32(1) + graph, ""},
    };
    for (const auto& [bytes, message] : cases) {
        EXPECT_EQ(Refusal(bytes), message);
    }
}

TEST(ParseTable, RefusesWhatBreaksTheModelOrTheRules) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "the table has no graph; it needs at least MAIN"},
        {"MAIN: EEEEEE: -1", "byte 9: graph \"MAIN\" has no nodes"},
        {"MAIN: -2", "byte 13: graph \"MAIN\" starts with node #2, not node #1"},
        {"MAIN: 1 a>1 0", "node 2 of graph \"MAIN\" has the number 0"},
        {"MAIN: 1 -2147483648", "has the number -2147483648"},
        {"MAIN: -1 2 -2", "graph \"MAIN\" has two nodes #2"},
        {"MAIN: 1 a>7 -2",
         "node #1 of graph \"MAIN\" has an edge to node #7, which the graph lacks"},
        {"MAIN: 1 <E>2 -2",
         "node #1 of graph \"MAIN\" has a Graph edge to graph \"E\", which the table lacks"},
        {"MAIN: -1 E: -1 E: -1", "two graphs are named \"E\""},
        {"MAIN: -1 <E>1 E: 1 b>1", "graph \"E\" has no final node"},
        {"MAIN: -1 <E>1 E: -1", "node #1 of graph \"MAIN\" is final and has a Graph edge"},
        {"MAIN: 1 <E>2 <F>2 -2 E: -1 F: -1",
         "node #1 of graph \"MAIN\" has more than one Graph edge"},
        {"MAIN: 1 a>2 a>1 -2", "node #1 of graph \"MAIN\" has two edges with the input \"a\""},
        {"MAIN: 1 a>2 <E>2 -2 E: 1 b>2 a>2 -2",
         "node #1 of graph \"MAIN\" and node #1 of graph \"E\" both start with \"a\""},
        {"MAIN: 1 x>2 2 a>3 <E>3 -3 E: 1 a>2 -2",
         "node #2 of graph \"MAIN\" has a Token edge \"a\" and a Graph edge to graph \"E\", "
         "which starts with the same token"},
        // Left recursion: direct, through a graph, after an optional graph; optional loops.
        {"MAIN: 1 <E>2 -2 E: 1 <E>2 -2 b>2",
         "left recursion: graph \"E\" can enter itself without consuming a token (E -> E)"},
        {"MAIN: 1 <A>2 -2 A: 1 <B>2 -2 B: 1 b>2 <A>2 -2",
         "left recursion: graph \"A\" can enter itself without consuming a token (A -> B -> A)"},
        {"MAIN: 1 <E>2 -2 E: 1 <Opt>2 2 <E>3 -3 Opt: -1 o>2 -2",
         "left recursion: graph \"E\" can enter itself without consuming a token (E -> E)"},
        {"MAIN: 1 a>2 2 <Opt>3 3 <Opt>2 -4 Opt: -1 o>2 -2",
         "graph \"MAIN\" can pass round a loop of optional graphs without a token (#2 -> #3 -> "
         "#2)"},
    };
    for (const auto& [table, expected] : cases) {
        const std::string message = Refusal(PtBytes(table));
        EXPECT_NE(message.find(expected), std::string::npos)
            << "refused with \"" << message << "\"";
    }
    std::string edgeType = PtBytes("MAIN: -1 >0");
    edgeType[21] = '\x02';
    EXPECT_EQ(Refusal(edgeType),
              "byte 21: edge 1 of node #1 of graph \"MAIN\" has the type 2 (1 Graph, 0 Token)");
}

}  // namespace
