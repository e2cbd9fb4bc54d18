// Parsing, every case with direct dispatch rows and with the hashed dispatch
// of large tables: what is accepted, where and why input is refused, actions.

#include <gtest/gtest.h>

#include "runtime/parser.h"
#include "table_bytes.h"

namespace {

using lumo::ParseTable;
using Strings = std::vector<std::string>;

// "ok", or where the parser stopped and what it expected, "$" standing for
// the end of input: "3 num: MAIN#2 expects * / + - $".
std::string Outcome(const lumo::ParseError& e, const ParseTable& table) {
    const std::string expected = lumo_test::Texts(table, e.expected);
    return std::to_string(e.position) + " " + lumo_test::Texts(table, {e.token}) + ": " +
           table.GraphName(e.graph) + "#" + std::to_string(e.node) + " expects " + expected +
           (e.endExpected ? (expected.empty() ? "$" : " $") : "");
}

class ParserTest : public ::testing::TestWithParam<bool> {
protected:
    std::size_t MaxCells() const { return GetParam() ? ParseTable::kDefaultMaxDirectCells : 0; }
    ParseTable Example(const std::string& name) const {
        ParseTable table =
            ParseTable::FromFile(LUMO_SOURCE_DIR "/examples/" + name + ".pt", MaxCells());
        EXPECT_EQ(table.IsDirect(), GetParam());
        return table;
    }
    ParseTable Made(const std::string& table) const {
        return ParseTable::FromBytes(lumo_test::PtBytes(table), MaxCells());
    }

    // Each input with its outcome and, where given, its actions. With an action
    // callback and without, the parser takes different paths; both must end alike.
    struct Case {
        const char* input;
        const char* outcome;
        Strings actions = {};
    };
    void Expect(const ParseTable& table, const std::vector<Case>& cases) {
        lumo::Parser parser(table);
        for (const Case& c : cases) {
            const auto tokens = lumo_test::Ids(table, c.input);
            Strings actions;
            const auto with = parser.Parse(tokens, [&](const lumo::Action& a) {
                actions.push_back(std::string(a.text) + " " + std::to_string(a.position) + " " +
                                  (a.IsGraph() ? "<" + table.GraphName(a.graph) + ">"
                                               : table.TokenText(a.token)));
            });
            const auto without = parser.Parse(tokens);
            EXPECT_EQ(with ? Outcome(*with, table) : "ok", c.outcome) << c.input;
            EXPECT_EQ(without ? Outcome(*without, table) : "ok", c.outcome) << c.input;
            if (!c.actions.empty()) {
                EXPECT_EQ(actions, c.actions) << c.input;
            }
        }
    }
};

TEST_P(ParserTest, ExamplesAcceptTheirLanguageReportActionsAndPinpointErrors) {
    // After an operand every operator of Factor, Term and Expr is expected, and
    // in MAIN the end of input. A Graph edge's action comes when its graph returns.
    Expect(Example("arith"),
           {{"num", "ok"},
            {"num / ( num - num ) * - num", "ok"},
            {"num - num * num",
             "ok",
             {"@num 0 num", "@num 2 num", "@num 4 num", "@mul 5 <Factor>", "@sub 5 <Term>"}},
            {"num + num )",
             "3 ): MAIN#2 expects * / + - $",
             {"@num 0 num", "@num 2 num", "@add 3 <Term>"}},
            {"num + num num", "3 num: MAIN#2 expects * / + - $"},
            {"( num", "2 $: Factor#4 expects * / + - )"},
            {"num + * num", "2 *: Expr#3 expects num ( -"},
            {"", "0 $: MAIN#1 expects num ( -"}});
    // Members is optional: passing it leads to node 4, so both are expected.
    Expect(Example("json"),
           {{"string", "ok"},
            {"[ number , { string : [ true , false , null ] } ]", "ok"},
            {"{ string : [ ] }",
             "ok",
             {"@begin_object 0 {", "@key 1 string", "@begin_array 3 [", "@end_array 4 ]",
              "@end_object 5 }"}},
            {"{ string : number , }", "5 }: Members#5 expects string"},
            {"{ string number }", "2 number: Members#2 expects :"},
            {"[ number , ]", "3 ]: Elements#1 expects string number true false null { ["},
            {"{", "1 $: Value#4 expects string }"},
            {"number number", "1 number: MAIN#2 expects $"}});
}

TEST_P(ParserTest, PassesAnOptionalGraphWithoutATokenButEntersOnlyOnItsFirstTokens) {
    Expect(Made("MAIN: 1 <Opt>2/@opt 2 b>3 -3 Opt: -1 a>2/@a -2"),
           {{"b", "ok", {"@opt 0 <Opt>"}},
            {"a b", "ok", {"@a 0 a", "@opt 1 <Opt>"}},
            {"a a b", "1 a: MAIN#2 expects b"},
            {"", "0 $: MAIN#2 expects a b"}});
    // A MAIN whose node 1 is final accepts the empty input.
    Expect(Made("MAIN: -1 x>1"), {{"", "ok"}, {"x x x", "ok"}});
    // G's first tokens are validation's, without what follows the optional Opt.
    Expect(Made("MAIN: 1 <G>2 -2 G: 1 <Opt>2 2 x>3 -3 Opt: -1 a>2 -2"),
           {{"a x", "ok"}, {"x", "0 x: MAIN#1 expects a"}});
    // MAIN is graph 0: a Graph edge into it is still a graph's action.
    Expect(Made("MAIN: 1 (>2 x>4 2 <MAIN>3/@in 3 )>4 -4"),
           {{"( ( x ) )", "ok", {"@in 3 <MAIN>", "@in 4 <MAIN>"}}});
}

TEST_P(ParserTest, StopsAtTheDepthLimitAndDescribesWhereItStopped) {
    const ParseTable arith = Example("arith");
    // Each "(" enters Expr, Term and Factor: the 51st graph is the 17th Factor.
    lumo::Parser shallow(arith, 50);
    const auto tooDeep =
        shallow.Parse(lumo_test::Ids(arith, "( ( ( ( ( ( ( ( ( ( ( ( ( ( ( ( ( ( ( ( num"));
    ASSERT_TRUE(tooDeep.has_value());
    EXPECT_EQ(std::to_string(tooDeep->position) + " " + lumo::DescribeError(arith, *tooDeep),
              "16 input nested too deeply: entering graph \"Factor\" at \"(\" would pass the "
              "depth limit");
    // The parser is as good as new afterwards.
    EXPECT_FALSE(shallow.Parse(lumo_test::Ids(arith, "( num ) * num")).has_value());
    const auto unknown = lumo::Parser(arith).Parse(lumo_test::Ids(arith, "num %"));
    ASSERT_TRUE(unknown.has_value());
    EXPECT_EQ(lumo::DescribeError(arith, *unknown, "%"),
              "unexpected \"%\" in graph \"MAIN\" at node #2; expected \"*\", \"/\", \"+\", \"-\" "
              "or end of input");
    EXPECT_EQ(lumo::DescribeError(arith, *unknown).rfind("unexpected token, unknown to the", 0),
              0u);
}

INSTANTIATE_TEST_SUITE_P(Dispatch, ParserTest, ::testing::Values(true, false),
                         [](const auto& param) { return param.param ? "Direct" : "Hashed"; });

}  // namespace
