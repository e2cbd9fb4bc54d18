// Parses its arguments as tokens with the table the build generated and
// prints "ok" or the runtime's description of the error.
#include <cstdio>
#include <vector>

#include "runtime/parser.h"

int main(int argc, char** argv) {
    const lumo::ParseTable table = lumo::ParseTable::FromFile(TABLE);
    std::vector<lumo::TokenId> ids;
    for (int i = 1; i < argc; ++i)
        ids.push_back(table.FindToken(argv[i]));
    const auto error = lumo::Parser(table).Parse(ids);
    std::puts(error ? lumo::DescribeError(table, *error).c_str() : "ok");
}
