#include "runtime/examples/calculator.h"

#include <charconv>
#include <vector>

#include "runtime/parser.h"

namespace lumo_example {

Calculator::Calculator(const lumo::ParseTable& table)
    : m_table(table), m_num(table.FindToken("num")) {
    if (m_num == lumo::kUnknownToken) {
        throw std::invalid_argument("the table has no token \"num\"; is it examples/arith.pt?");
    }
}

double Calculator::Evaluate(std::string_view expression) const {
    std::vector<lumo::TokenId> tokens;
    std::vector<double> numbers;  // per token: its value, for "num"
    std::vector<std::size_t> columns;
    for (std::size_t i = 0; i < expression.size();) {
        const char c = expression[i];
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        columns.push_back(i + 1);
        if ((c >= '0' && c <= '9') || c == '.') {
            double value = 0;
            const auto [end, ec] = std::from_chars(expression.data() + i,
                                                   expression.data() + expression.size(), value);
            if (ec != std::errc()) {
                throw std::runtime_error("column " + std::to_string(i + 1) + ": bad number");
            }
            tokens.push_back(m_num);
            numbers.push_back(value);
            i = static_cast<std::size_t>(end - expression.data());
            continue;
        }
        // Characters that are no token of the table reach the parser as
        // unknown tokens, which it refuses with what it expected.
        tokens.push_back(m_table.FindToken(expression.substr(i, 1)));
        numbers.push_back(0);
        ++i;
    }

    std::vector<double> stack;
    bool divisionByZero = false;
    auto onAction = [&](const lumo::Action& a) {
        if (a.text == "@num") {
            stack.push_back(numbers[a.position]);
        } else if (a.text == "@neg") {
            stack.back() = -stack.back();
        } else {
            const double right = stack.back();
            stack.pop_back();
            double& left = stack.back();
            if (a.text == "@add") {
                left += right;
            } else if (a.text == "@sub") {
                left -= right;
            } else if (a.text == "@mul") {
                left *= right;
            } else if (a.text == "@div") {
                divisionByZero = divisionByZero || right == 0;
                left /= right;
            }
        }
    };
    lumo::Parser parser(m_table);
    if (const auto error = parser.Parse(tokens, onAction)) {
        const std::size_t column =
            error->position < columns.size() ? columns[error->position] : expression.size() + 1;
        const std::string text = error->position < columns.size()
                                     ? std::string(expression.substr(column - 1, 1))
                                     : std::string();
        throw std::runtime_error("column " + std::to_string(column) + ": " +
                                 lumo::DescribeError(m_table, *error, text));
    }
    if (divisionByZero) {
        throw std::runtime_error("division by zero");
    }
    return stack.back();
}

}  // namespace lumo_example
