// Parsing with the example tables and with small grammars made for one
// rule each: what is accepted, where and why input is refused, the order of
// actions, optional graphs and nesting depth. Every case runs with direct
// dispatch rows and with the hashed dispatch of large tables.

#include <gtest/gtest.h>

#include "runtime/parser.h"
#include "table_bytes.h"

namespace {

using lumo::Parser;
using lumo::ParseTable;
using lumo_test::Gr;
using lumo_test::PtBytes;
using lumo_test::Tok;

// "ok", or where the parser stopped and what it expected, "$" standing for
// the end of input: "3 num: MAIN#2 expects * / + - $".
std::string Outcome(const lumo::ParseError& e, const ParseTable& table) {
    const std::string at = std::to_string(e.position) + " " +
                           (e.token == lumo::kEndOfInput   ? "$"
                            : e.token < table.TokenCount() ? table.TokenText(e.token)
                                                           : "?") +
                           ": ";
    if (e.kind == lumo::ParseError::Kind::TooDeep) {
        return at + "too deep entering " + table.GraphName(e.graph);
    }
    const std::string expected = lumo_test::Texts(table, e.expected);
    return at + table.GraphName(e.graph) + "#" + std::to_string(e.node) + " expects " + expected +
           (!e.endExpected     ? ""
            : expected.empty() ? "$"
                               : " $");
}

using Strings = std::vector<std::string>;

class ParserTest : public ::testing::TestWithParam<bool> {
protected:
    std::size_t MaxDirectCells() const {
        return GetParam() ? ParseTable::kDefaultMaxDirectCells : 0;
    }
    ParseTable Example(const std::string& name) const {
        const ParseTable table =
            ParseTable::FromFile(LUMO_SOURCE_DIR "/examples/" + name + ".pt", MaxDirectCells());
        EXPECT_EQ(table.IsDirect(), GetParam());
        return table;
    }
    ParseTable Made(const std::vector<lumo_test::PtGraph>& graphs) const {
        return ParseTable::FromBytes(PtBytes(graphs), MaxDirectCells());
    }

    // Parses twice, with and without an action callback, which take different
    // paths (without one, the parser may fuse steps); both must end alike.
    // The actions reported are left in m_actions.
    std::string Parse(const ParseTable& table, const std::string& words) {
        Parser parser(table);
        const auto tokens = lumo_test::Ids(table, words);
        m_actions.clear();
        const auto withActions = parser.Parse(tokens, [&](const lumo::Action& a) {
            m_actions.push_back(
                std::string(a.text) + " " + std::to_string(a.position) + " " +
                (a.IsGraph() ? "<" + table.GraphName(a.graph) + ">" : table.TokenText(a.token)));
        });
        const auto without = parser.Parse(tokens);
        const std::string outcome = withActions ? Outcome(*withActions, table) : "ok";
        EXPECT_EQ(without ? Outcome(*without, table) : "ok", outcome) << words;
        return outcome;
    }

    Strings m_actions;
};

TEST_P(ParserTest, ExamplesAcceptTheirLanguageAndPinpointErrors) {
    const ParseTable arith = Example("arith");
    for (const char* ok : {"num", "num + num * num", "( num )", "- - num",
                           "num / ( num - num ) * - num", "( ( ( num ) ) ) - num"}) {
        EXPECT_EQ(Parse(arith, ok), "ok") << ok;
    }
    // After a complete operand, the walk leaves Factor, Term and Expr with
    // the lookahead, so every operator they accept is expected, and, back in
    // MAIN, the end of input.
    EXPECT_EQ(Parse(arith, "num + num num"), "3 num: MAIN#2 expects * / + - $");
    EXPECT_EQ(Parse(arith, "num ? num"), "1 ?: MAIN#2 expects * / + - $");
    EXPECT_EQ(Parse(arith, "( num"), "2 $: Factor#4 expects * / + - )");
    EXPECT_EQ(Parse(arith, "num + * num"), "2 *: Expr#3 expects num ( -");
    EXPECT_EQ(Parse(arith, ""), "0 $: MAIN#1 expects num ( -");
    EXPECT_EQ(Parse(arith, ")"), "0 ): MAIN#1 expects num ( -");

    const ParseTable json = Example("json");
    for (const char* ok :
         {"string", "{ }", "[ ]", "[ number , { string : [ true , false , null ] } ]",
          "{ string : { } , string : [ [ ] ] }"}) {
        EXPECT_EQ(Parse(json, ok), "ok") << ok;
    }
    EXPECT_EQ(Parse(json, "{ string : number , }"), "5 }: Members#5 expects string");
    EXPECT_EQ(Parse(json, "{ string number }"), "2 number: Members#2 expects :");
    EXPECT_EQ(Parse(json, "[ number , ]"),
              "3 ]: Elements#1 expects string number true false null { [");
    // Members is optional: passing it leads to node 4, so both are expected.
    EXPECT_EQ(Parse(json, "{"), "1 $: Value#4 expects string }");
    EXPECT_EQ(Parse(json, "number number"), "1 number: MAIN#2 expects $");
    EXPECT_EQ(Parse(json, ""), "0 $: MAIN#1 expects string number true false null { [");
}

TEST_P(ParserTest, ReportsActionsInTheOrderTheirEdgesArePassed) {
    const ParseTable arith = Example("arith");
    EXPECT_EQ(Parse(arith, "num - num * num"), "ok");
    // A Graph edge's action comes when its graph returns: postfix order.
    EXPECT_EQ(m_actions, (Strings{"@num 0 num", "@num 2 num", "@num 4 num", "@mul 5 <Factor>",
                                  "@sub 5 <Term>"}));

    // Up to a syntax error, every action on the way has been reported.
    EXPECT_EQ(Parse(arith, "num + num )"), "3 ): MAIN#2 expects * / + - $");
    EXPECT_EQ(m_actions, (Strings{"@num 0 num", "@num 2 num", "@add 3 <Term>"}));

    // Edges without an action report nothing.
    EXPECT_EQ(Parse(Example("json"), "{ string : [ ] }"), "ok");
    EXPECT_EQ(m_actions, (Strings{"@begin_object 0 {", "@key 1 string", "@begin_array 3 [",
                                  "@end_array 4 ]", "@end_object 5 }"}));
}

TEST_P(ParserTest, PassesAnOptionalGraphWithoutATokenButEntersOnlyOnItsFirstTokens) {
    // MAIN: 1 -Opt @opt-> 2 -b-> 3 (final); Opt: 1 (final) -a @a-> 2 (final)
    const ParseTable table =
        Made({{"MAIN", {{1, {Gr("Opt", 2, "@opt")}}, {2, {Tok("b", 3)}}, {-3, {}}}},
              {"Opt", {{-1, {Tok("a", 2, "@a")}}, {-2, {}}}}});
    EXPECT_EQ(Parse(table, "b"), "ok");
    EXPECT_EQ(m_actions, (Strings{"@opt 0 <Opt>"}));
    EXPECT_EQ(Parse(table, "a b"), "ok");
    EXPECT_EQ(m_actions, (Strings{"@a 0 a", "@opt 1 <Opt>"}));
    EXPECT_EQ(Parse(table, "a a b"), "1 a: MAIN#2 expects b");
    EXPECT_EQ(Parse(table, ""), "0 $: MAIN#2 expects a b");

    // A MAIN whose node 1 is final accepts the empty input.
    const ParseTable star = Made({{"MAIN", {{-1, {Tok("x", 1)}}}}});
    EXPECT_EQ(Parse(star, ""), "ok");
    EXPECT_EQ(Parse(star, "x x x"), "ok");

    // G starts with the optional Opt, but its first-token set is computed as
    // validation computes it, without what follows Opt: G is not entered
    // on "x", though it could pass Opt and take "x".
    const ParseTable first = Made({{"MAIN", {{1, {Gr("G", 2)}}, {-2, {}}}},
                                   {"G", {{1, {Gr("Opt", 2)}}, {2, {Tok("x", 3)}}, {-3, {}}}},
                                   {"Opt", {{-1, {Tok("a", 2)}}, {-2, {}}}}});
    EXPECT_EQ(Parse(first, "a x"), "ok");
    EXPECT_EQ(Parse(first, "x"), "0 x: MAIN#1 expects a");
}

TEST_P(ParserTest, NestsWithoutTheCallStackAndDescribesWhereItStopped) {
    const ParseTable arith = Example("arith");
    const int levels = 200000;  // 600000 graphs deep
    std::vector<lumo::TokenId> deep(levels, arith.FindToken("("));
    deep.push_back(arith.FindToken("num"));
    deep.insert(deep.end(), levels, arith.FindToken(")"));
    Parser parser(arith);
    EXPECT_FALSE(parser.Parse(deep).has_value());

    // Each parenthesis enters Expr, Term and Factor: the 51st graph is the
    // Factor of the 17th.
    Parser shallow(arith, 50);
    const std::string nested = "( ( ( ( ( ( ( ( ( ( ( ( ( ( ( ( ( ( ( ( num";
    const auto error = shallow.Parse(lumo_test::Ids(arith, nested));
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(Outcome(*error, arith), "16 (: too deep entering Factor");
    EXPECT_EQ(lumo::DescribeError(arith, *error),
              "input nested too deeply: entering graph \"Factor\" at \"(\" would pass the depth "
              "limit");
    // The parser is as good as new afterwards.
    EXPECT_FALSE(shallow.Parse(lumo_test::Ids(arith, "( num ) * num")).has_value());

    // A syntax error, with the tokens that would have been accepted.
    const auto unexpected = parser.Parse(lumo_test::Ids(arith, "num + num num"));
    ASSERT_TRUE(unexpected.has_value());
    const std::string expected =
        " in graph \"MAIN\" at node #2; expected \"*\", \"/\", \"+\", "
        "\"-\" or end of input";
    EXPECT_EQ(lumo::DescribeError(arith, *unexpected), "unexpected \"num\"" + expected);
    const auto unknown = parser.Parse(lumo_test::Ids(arith, "num %"));
    ASSERT_TRUE(unknown.has_value());
    EXPECT_EQ(lumo::DescribeError(arith, *unknown, "%"), "unexpected \"%\"" + expected);
    EXPECT_EQ(lumo::DescribeError(arith, *unknown)
                  .rfind("unexpected token, unknown to the grammar, in graph \"MAIN\"", 0),
              0u);
}

INSTANTIATE_TEST_SUITE_P(Dispatch, ParserTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? "Direct" : "Hashed";
                         });

}  // namespace
