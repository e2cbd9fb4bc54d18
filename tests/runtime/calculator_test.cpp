// The example calculator: arithmetic evaluated by the parser's actions.

#include <gtest/gtest.h>

#include "runtime/examples/calculator.h"
#include "runtime/examples/generated_calculator.h"

namespace {

class Calculator : public ::testing::Test {
protected:
    lumo::ParseTable m_table = lumo::ParseTable::FromFile(LUMO_SOURCE_DIR "/examples/arith.pt");
    lumo_example::Calculator m_calc{m_table};
};

TEST_F(Calculator, EvaluatesWithPrecedenceAndLeftAssociativity) {
    EXPECT_EQ(m_calc.Evaluate("2 + 3 * 4"), 14);
    EXPECT_EQ(m_calc.Evaluate("(2 + 3) * 4"), 20);
    EXPECT_EQ(m_calc.Evaluate("8 - 3 - 2"), 3);
    EXPECT_EQ(m_calc.Evaluate("64 / 4 / 2"), 8);
    EXPECT_EQ(m_calc.Evaluate("-(2 + 3) * -2"), 10);
    EXPECT_EQ(m_calc.Evaluate("7 / 2"), 3.5);
    EXPECT_EQ(m_calc.Evaluate("1.5e2 - 0.5"), 149.5);
}

TEST_F(Calculator, RefusesWhatIsNotArithmetic) {
    auto message = [this](const char* text) {
        try {
            m_calc.Evaluate(text);
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message("2 + "),
              "column 5: unexpected end of input in graph \"Expr\" at node #3; expected \"num\", "
              "\"(\" or \"-\"");
    EXPECT_EQ(message("2 x 3"),
              "column 3: unexpected \"x\" in graph \"MAIN\" at node #2; expected \"*\", \"/\", "
              "\"+\", \"-\" or end of input");
    EXPECT_EQ(message("1 / (2 - 2)"), "division by zero");

    const lumo::ParseTable json = lumo::ParseTable::FromFile(LUMO_SOURCE_DIR "/examples/json.pt");
    EXPECT_THROW(lumo_example::Calculator{json}, std::invalid_argument);
}

// The calculator built on the parser generated from the same grammar.
TEST_F(Calculator, TheGeneratedParserGivesTheSameAnswersAndErrors) {
    auto outcome = [](auto evaluate, const char* text) {
        try {
            return std::to_string(evaluate(text));
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
    };
    for (const char* text : {"2 + 3 * 4", "(2 + 3) * -4", "8 - 3 - 2", "1.5e2 / 3 / -(2)", "2 + ",
                             "2 x 3", "((1)", "1 / (2 - 2)", "1..2", "", ")", "- - 7"}) {
        EXPECT_EQ(outcome(lumo_example::EvaluateGenerated, text),
                  outcome([this](const char* t) { return m_calc.Evaluate(t); }, text))
            << text;
    }
}

}  // namespace
