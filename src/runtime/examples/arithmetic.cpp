#include "runtime/examples/arithmetic.h"

#include <charconv>

namespace lumo_example {

std::vector<Lexeme> Lex(std::string_view expression) {
    std::vector<Lexeme> lexemes;
    for (std::size_t i = 0; i < expression.size();) {
        const char c = expression[i];
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        if ((c >= '0' && c <= '9') || c == '.') {
            double value = 0;
            const auto [end, ec] = std::from_chars(expression.data() + i,
                                                   expression.data() + expression.size(), value);
            if (ec != std::errc()) {
                throw std::runtime_error("column " + std::to_string(i + 1) + ": bad number");
            }
            lexemes.push_back({"num", value, i + 1});
            i = static_cast<std::size_t>(end - expression.data());
            continue;
        }
        lexemes.push_back({expression.substr(i, 1), 0, i + 1});
        ++i;
    }
    return lexemes;
}

void Arithmetic::Act(std::string_view action, std::size_t position) {
    if (action == "@num") {
        m_stack.push_back(m_lexemes[position].value);
    } else if (action == "@neg") {
        m_stack.back() = -m_stack.back();
    } else {
        const double right = m_stack.back();
        m_stack.pop_back();
        double& left = m_stack.back();
        if (action == "@add") {
            left += right;
        } else if (action == "@sub") {
            left -= right;
        } else if (action == "@mul") {
            left *= right;
        } else if (action == "@div") {
            m_divisionByZero = m_divisionByZero || right == 0;
            left /= right;
        }
    }
}

double Arithmetic::Result() const {
    if (m_divisionByZero) {
        throw std::runtime_error("division by zero");
    }
    return m_stack.back();
}

}  // namespace lumo_example
