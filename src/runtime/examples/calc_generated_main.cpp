// lumo-calc-generated: evaluates arithmetic, parsed by the parser generated
// from examples/arith.lm at build time; no table to load.
//   lumo-calc-generated EXPRESSION

#include <cstdio>
#include <stdexcept>

#include "runtime/examples/generated_calculator.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: lumo-calc-generated EXPRESSION\n", stderr);
        return 64;
    }
    try {
        std::printf("%.17g\n", lumo_example::EvaluateGenerated(argv[1]));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumo-calc-generated: %s\n", e.what());
        return 1;
    }
    return 0;
}
