#include "runtime/examples/calculator.h"

#include "runtime/examples/arithmetic.h"
#include "runtime/parser.h"

namespace lumo_example {

Calculator::Calculator(const lumo::ParseTable& table)
    : m_table(table), m_num(table.FindToken("num")) {
    if (m_num == lumo::kUnknownToken) {
        throw std::invalid_argument("the table has no token \"num\"; is it examples/arith.pt?");
    }
}

double Calculator::Evaluate(std::string_view expression) const {
    const std::vector<Lexeme> lexemes = Lex(expression);
    std::vector<lumo::TokenId> tokens;
    for (const Lexeme& lexeme : lexemes) {
        tokens.push_back(m_table.FindToken(lexeme.text));
    }
    Arithmetic arithmetic(lexemes);
    lumo::Parser parser(m_table);
    if (const auto error = parser.Parse(
            tokens, [&](const lumo::Action& a) { arithmetic.Act(a.text, a.position); })) {
        throw Refusal(expression, lexemes, error->position, [&](const std::string& text) {
            return lumo::DescribeError(m_table, *error, text);
        });
    }
    return arithmetic.Result();
}

}  // namespace lumo_example
