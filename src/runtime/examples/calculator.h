#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "runtime/parse_table.h"

namespace lumo_example {

// Evaluates arithmetic with the table of examples/arith.lm, loaded at run
// time (see arithmetic.h for the tokens and the actions).
class Calculator {
public:
    // Throws std::invalid_argument when the table lacks the token "num".
    explicit Calculator(const lumo::ParseTable& table);

    // Throws std::runtime_error, with the column, for an expression that is
    // not arithmetic, and for a division by zero.
    double Evaluate(std::string_view expression) const;

private:
    const lumo::ParseTable& m_table;
    lumo::TokenId m_num;
};

}  // namespace lumo_example
