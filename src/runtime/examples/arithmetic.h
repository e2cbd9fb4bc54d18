#pragma once

// The calculator's half that does not depend on how its parser was made:
// a few lines of lexer that turn the text into the tokens of
// examples/arith.lm ("num" for a number, the operators and parentheses as
// themselves), and the stack machine that the parser's actions drive:
// "@num" pushes the number just read, "@add", "@sub", "@mul", "@div"
// replace the top two with their result and "@neg" negates the top.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lumo_example {

struct Lexeme {
    std::string_view text;   // "num" for a number, else the character itself
    double value = 0;        // a number's
    std::size_t column = 0;  // from 1
};

// Throws std::runtime_error, with the column, for a malformed number.
// Characters that are no token of the grammar become lexemes all the same,
// which the parser then refuses with what it expected instead.
std::vector<Lexeme> Lex(std::string_view expression);

class Arithmetic {
public:
    explicit Arithmetic(const std::vector<Lexeme>& lexemes) : m_lexemes(lexemes) {}

    // An action the parser reported at position.
    void Act(std::string_view action, std::size_t position);
    // Throws std::runtime_error for a division by zero.
    double Result() const;

private:
    const std::vector<Lexeme>& m_lexemes;
    std::vector<double> m_stack;
    bool m_divisionByZero = false;
};

// The error for input refused at position: "column C: " and the parser's
// description, which describe(text) gives with the refused character's text
// (empty at the end of the input).
template <class Describe>
std::runtime_error Refusal(std::string_view expression, const std::vector<Lexeme>& lexemes,
                           std::size_t position, Describe describe) {
    const bool inside = position < lexemes.size();
    const std::size_t column = inside ? lexemes[position].column : expression.size() + 1;
    const std::string text = inside ? std::string(expression.substr(column - 1, 1)) : "";
    return std::runtime_error("column " + std::to_string(column) + ": " + describe(text));
}

}  // namespace lumo_example
