#pragma once

#include <string_view>

namespace lumo_example {

// The calculator of calculator.h with a parser generated as C++ from
// examples/arith.lm at build time (lumo_add_parser), instead of a table
// loaded at run time: the same answers and the same errors.
// Throws std::runtime_error, with the column, for an expression that is not
// arithmetic, and for a division by zero.
double EvaluateGenerated(std::string_view expression);

}  // namespace lumo_example
