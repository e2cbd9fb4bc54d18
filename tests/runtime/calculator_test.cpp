// The calculator on the runtime's parser and on the generated one: same answers, same errors.

#include <gtest/gtest.h>

#include <sstream>

#include "runtime/examples/calculator.h"
#include "runtime/examples/generated_calculator.h"

namespace {

template <class Evaluate>
std::string Outcome(Evaluate evaluate, const char* text) {
    try {
        std::ostringstream out;
        out << evaluate(text);
        return out.str();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
}

TEST(Calculator, EvaluatesWithPrecedenceAndRefusesWhatIsNotArithmetic) {
    const lumo::ParseTable table = lumo::ParseTable::FromFile(LUMO_SOURCE_DIR "/examples/arith.pt");
    lumo_example::Calculator calc{table};
    const auto runtime = [&calc](const char* t) { return calc.Evaluate(t); };
    // An empty outcome: only the two calculators must agree.
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"2 + 3 * 4", "14"}, {"(2 + 3) * 4", "20"}, {"8 - 3 - 2", "3"}, {"64 / 4 / 2", "8"},
        {"-(2 + 3) * -2", "10"}, {"7 / 2", "3.5"}, {"1.5e2 - 0.5", "149.5"}, {"- - 7", "7"},
        {"1 / (2 - 2)", "division by zero"}, {"((1)", ""}, {"1..2", ""}, {"", ""}, {")", ""},
        {"2 + ", "column 5: unexpected end of input in graph \"Expr\" at node #3; expected "
                 "\"num\", \"(\" or \"-\""},
        {"2 x 3", "column 3: unexpected \"x\" in graph \"MAIN\" at node #2; expected \"*\", "
                  "\"/\", \"+\", \"-\" or end of input"}};
    // clang-format on
    for (const auto& [text, expected] : cases) {
        const std::string outcome = Outcome(runtime, text);
        if (*expected != '\0') {
            EXPECT_EQ(outcome, expected) << text;
        }
        EXPECT_EQ(Outcome(lumo_example::EvaluateGenerated, text), outcome) << text;
    }
}

}  // namespace
