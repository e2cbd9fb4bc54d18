// Exits 0 when the installed runtime accepts "num * ( num + num )" and
// refuses "num num" with the expected message.
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/parser.h"

int main() {
    const lumo::ParseTable table = lumo::ParseTable::FromFile(TABLE);
    auto ids = [&table](std::initializer_list<const char*> words) {
        std::vector<lumo::TokenId> out;
        for (const char* w : words) {
            out.push_back(table.FindToken(w));
        }
        return out;
    };
    lumo::Parser parser(table);
    if (parser.Parse(ids({"num", "*", "(", "num", "+", "num", ")"}))) {
        std::puts("refused a valid expression");
        return 1;
    }
    const auto error = parser.Parse(ids({"num", "num"}));
    const std::string expected =
        "unexpected \"num\" in graph \"MAIN\" at node #2; expected \"*\", \"/\", \"+\", \"-\" or "
        "end of input";
    if (!error || lumo::DescribeError(table, *error) != expected) {
        std::puts("did not refuse \"num num\" as expected");
        return 1;
    }
    return 0;
}
