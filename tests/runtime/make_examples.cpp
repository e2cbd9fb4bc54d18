// lumo-make-examples DIR: saves the example grammars as DIR/arith.lm and
// DIR/json.lm, as the editor would after drawing them. lumo-gen makes their
// tables.

#include <cstdio>
#include <string>

#include "example_grammars.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: lumo-make-examples DIR\n", stderr);
        return 64;
    }
    const std::string dir = argv[1];
    CGrammer arith;
    lumo_test::BuildArith(arith);
    CGrammer json;
    lumo_test::BuildJson(json);
    if (!arith.OnSaveDocument(dir + "/arith.lm") || !json.OnSaveDocument(dir + "/json.lm")) {
        std::fputs("lumo-make-examples: cannot save\n", stderr);
        return 1;
    }
    return 0;
}
