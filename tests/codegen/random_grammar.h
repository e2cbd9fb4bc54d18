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

// The document file of the grammar, and its binary parse table.
inline std::string DocumentBytes(const lm_layout::Document& doc) {
    return lm_layout::Write(doc, 0);
}
inline std::string TableBytes(const lm_layout::Document& doc) {
    return lm_layout::Write(doc, 1);
}

}  // namespace lumo_test
