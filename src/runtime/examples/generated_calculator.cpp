#include "runtime/examples/generated_calculator.h"

#include "lumo_calc_arith_parser.h"
#include "runtime/examples/arithmetic.h"

namespace lumo_example {

double EvaluateGenerated(std::string_view expression) {
    const std::vector<Lexeme> lexemes = Lex(expression);
    std::vector<arith_parser::Token> tokens;
    for (const Lexeme& lexeme : lexemes) {
        tokens.push_back(arith_parser::FindToken(lexeme.text));
    }
    Arithmetic arithmetic(lexemes);
    if (const auto error = arith_parser::Parse(
            tokens, [&](const arith_parser::Action& a) { arithmetic.Act(a.text, a.position); })) {
        throw Refusal(expression, lexemes, error->position, [&](const std::string& text) {
            return arith_parser::DescribeError(*error, text);
        });
    }
    return arithmetic.Result();
}

}  // namespace lumo_example
