// Reading the notation: what it accepts, and every error with its place.

#include <gtest/gtest.h>

#include "ebnf/import.h"
#include "ebnf_support.h"

namespace {

using ebnf_test::Shape;

struct Bad {
    const char* text;
    int line;
    int column;
    const char* message;
};

TEST(EbnfSyntax, ReportsEachErrorWhereItIs) {
    const Bad cases[] = {
        {"A ::= a $ b", 1, 9, "unknown character '$'"},
        {"A ::= a\n  \x01", 2, 3, "unknown character 0x01"},
        {"A ::= \"caf\xC3\xA9\" ;", 1, 14, "unknown character ';'"},
        {"A ::= ( a b", 1, 7, "'(' is not closed"},
        {"A ::= [ a ) b", 1, 11, "expected ']' to close the '[' at 1:7, found ')'"},
        {"A ::= { a\nB ::= b", 1, 7, "'{' is not closed"},
        {"A ::= a ) b", 1, 9, "unmatched ')'"},
        {"A ::= a\n\nA ::= b", 3, 1, "rule 'A' is already defined at 1:1"},
        {"A ::= a | | b", 1, 9, "empty alternative; write () for an empty sequence"},
        {"A ::= | b", 1, 3, "empty alternative; write () for an empty sequence"},
        {"A ::= a |\nB ::= b", 1, 9, "empty alternative; write () for an empty sequence"},
        {"A ::=\nB ::= b", 1, 3, "empty alternative; write () for an empty sequence"},
        {"A ::= ( a | )", 1, 11, "empty alternative; write () for an empty sequence"},
        {"A ::= [ ]", 1, 7, "empty alternative; write () for an empty sequence"},
        {"A ::= a\n  /* open", 2, 3, "unterminated comment"},
        {"A ::= \"a\nb\"", 1, 7, "unterminated string"},
        {"A ::= 'a", 1, 7, "unterminated string"},
        {"A ::= \"\"", 1, 7, "empty string: a token has at least one character"},
        {"A ::= \"a\\nb\"", 1, 9,
         "unknown escape in a string: only \\\", \\' and \\\\ are escapes"},
        {"A ::= a @", 1, 9, "expected an action name or a string after '@'"},
        {"A ::= @x a", 1, 7, "an action follows a name or a string directly"},
        {"A ::= ( a ) @x", 1, 13, "an action follows a name or a string directly"},
        {"A ::= a @x @y", 1, 12, "an action follows a name or a string directly"},
        {"A ::= * a", 1, 7, "'*' follows nothing it could repeat"},
        {"A ::= a | ::= b", 1, 11, "unexpected '::='"},
        {"A ::= a ::= b", 1, 3, "empty alternative; write () for an empty sequence"},
        {"::= a", 1, 1, "expected a rule name, found '::='"},
        {"A B ::= a", 1, 3, "expected '::=' after 'A', found 'B'"},
        {"\"A\" ::= a", 1, 1, "expected a rule name, found a string"},
        {"// only a comment\n", 2, 1, "no rules: a grammar has at least one"},
        {"", 1, 1, "no rules: a grammar has at least one"},
    };
    for (const Bad& bad : cases) {
        SCOPED_TRACE(bad.text);
        try {
            ebnf::ParseGrammar(bad.text);
            ADD_FAILURE() << "accepted";
        } catch (const ebnf::SyntaxError& e) {
            EXPECT_EQ(e.GetPosition(), (ebnf::Position{bad.line, bad.column}));
            EXPECT_EQ(e.Describe("g.ebnf"), "g.ebnf:" + std::to_string(bad.line) + ":" +
                                                std::to_string(bad.column) +
                                                ": error: " + bad.message);
        }
    }
}

TEST(EbnfSyntax, RefusesWhatWouldExhaustTheStackOrTheCanvas) {
    std::string deep = "A ::= ";
    for (int i = 0; i <= ebnf::kMaxNesting; ++i) {
        deep += "( ";
    }
    EXPECT_THROW(ebnf::ParseGrammar(deep + "a"), ebnf::SyntaxError);
    // One bracket less is fine.
    EXPECT_NO_THROW(ebnf::ParseGrammar(deep.substr(0, deep.size() - 2) + "a" +
                                       std::string(ebnf::kMaxNesting, ')')));

    // The tenth symbol from the end: a thousand states when deterministic;
    // forty options: 41 nodes, but 820 edges.
    std::string wide = "\n\nWide ::= ( a | b )* a", skips = "Skips ::= ";
    for (int i = 0; i < 10; ++i) {
        wide += " ( a | b )";
    }
    for (int i = 0; i < 40; ++i) {
        skips += "t" + std::to_string(i) + "? ";
    }
    const std::pair<std::string, const char*> large[] = {
        {"A ::= a" + wide,
         "f:3:1: error: rule 'Wide' is too large: its graph would have more "
         "than 200 nodes"},
        {skips + "end",
         "f:1:1: error: rule 'Skips' is too large: its graph would have more "
         "than 600 edges"},
    };
    for (const auto& [text, error] : large) {
        try {
            ebnf::CompileGrammar(text);
            ADD_FAILURE() << "accepted";
        } catch (const ebnf::SyntaxError& e) {
            EXPECT_EQ(e.Describe("f"), error);
        }
    }

    std::string longRule = "A ::=";
    for (int i = 0; i < 200; ++i) {
        longRule += " token" + std::to_string(i);
    }
    CGrammer doc;
    EXPECT_THROW(ebnf::ImportEbnf(longRule, doc), ebnf::SyntaxError);
}

TEST(EbnfSyntax, ReadsCommentsStringsActionsAndBrackets) {
    CGrammer doc;
    ebnf_test::Import(
        "/* a comment\n   over lines */ Start ::= 'it''s' // to the end\n"
        "  \"say \\\"hi\\\"\" @greet [ x @\"two words\" ] { 'back\\\\slash' }\n"
        "  name-with.dots ()",
        doc);
    ASSERT_EQ(doc.GetGraphCount(), 1);
    EXPECT_EQ(Shape(*doc.GetGraph(0)),
              "1-it->2 2-s->3 3-say \"hi\"/@greet->4 4-back\\slash->5 4-name-with.dots->6 "
              "4-x/@two words->5 5-back\\slash->5 5-name-with.dots->6 | 6");
}

TEST(EbnfSyntax, StartsWithMainOrTheFirstRule) {
    CGrammer doc;
    // The first rule is MAIN, and so are references to it.
    ebnf_test::Import("Expr ::= n ( '+' Expr )?\nOther ::= Expr Expr", doc);
    ASSERT_EQ(doc.GetGraphCount(), 2);
    EXPECT_EQ(doc.GetGraphName(0), "MAIN");
    EXPECT_EQ(doc.GetGraphName(1), "Other");
    EXPECT_EQ(Shape(*doc.GetGraph(0)), "1-n->2 2-+->3 3-<MAIN>->4 | 2 4");
    EXPECT_EQ(Shape(*doc.GetGraph(1)), "1-<MAIN>->2 2-<MAIN>->3 | 3");

    // A rule named MAIN is the start wherever it stands; the others keep
    // their names and their order; an undefined name is a token. Nothing
    // needs spaces around it, and any white space will do.
    ebnf_test::Import("A::=b\r\n\tB::=MAIN\f\vMAIN::=A|c", doc);
    ASSERT_EQ(doc.GetGraphCount(), 3);
    EXPECT_EQ(doc.GetGraphName(0), "MAIN");
    EXPECT_EQ(doc.GetGraphName(1), "A");
    EXPECT_EQ(doc.GetGraphName(2), "B");
    EXPECT_EQ(Shape(*doc.GetGraph(0)), "1-c->2 1-<A>->2 | 2");
    EXPECT_EQ(Shape(*doc.GetGraph(1)), "1-b->2 | 2");
    EXPECT_EQ(Shape(*doc.GetGraph(2)), "1-<MAIN>->2 | 2");
}

TEST(EbnfSyntax, LeavesTheDocumentAsItWasOnAnError) {
    CGrammer doc;
    ebnf_test::Import("A ::= a b", doc);
    const std::string before = Shape(*doc.GetGraph(0));
    EXPECT_THROW(ebnf::ImportEbnf("A ::= (", doc), ebnf::SyntaxError);
    ASSERT_EQ(doc.GetGraphCount(), 1);
    EXPECT_EQ(Shape(*doc.GetGraph(0)), before);
}

}  // namespace
