#pragma once

// Small random grammar documents for differential tests of the generated
// parsers: up to four graphs of up to six nodes, optional graphs, nesting,
// recursion, actions, gaps in node numbers, and token and graph names that
// no identifier can spell as they are. Many break the rules; callers keep
// those that validate.

#include <random>
#include <string>

#include "fuzz/lm_layout.h"

namespace lumo_test {

lm_layout::Document RandomGrammar(std::mt19937& rng);

}  // namespace lumo_test
