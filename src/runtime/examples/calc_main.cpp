// lumo-calc: evaluates arithmetic, parsed with examples/arith.pt.
//   lumo-calc [--table TABLE.pt] EXPRESSION

#include <cstdio>
#include <string>

#include "runtime/examples/calculator.h"

int main(int argc, char** argv) {
    std::string table = LUMO_ARITH_TABLE;
    int arg = 1;
    if (argc == 4 && std::string(argv[1]) == "--table") {
        table = argv[2];
        arg = 3;
    }
    if (argc != arg + 1) {
        std::fputs("usage: lumo-calc [--table TABLE.pt] EXPRESSION\n", stderr);
        return 64;
    }
    try {
        const lumo::ParseTable loaded = lumo::ParseTable::FromFile(table);
        const lumo_example::Calculator calculator(loaded);
        std::printf("%.17g\n", calculator.Evaluate(argv[arg]));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumo-calc: %s\n", e.what());
        return 1;
    }
    return 0;
}
