// Parses its arguments as tokens with the parser generated at build time
// and prints its actions, then "ok" or the description of the error.
#include <cstdio>
#include <string>
#include <vector>

#include "worked_parser.h"

int main(int argc, char** argv) {
    std::vector<worked::v1::Token> tokens;
    for (int i = 1; i < argc; ++i)
        tokens.push_back(worked::v1::FindToken(argv[i]));
    const auto error = worked::v1::Parse(tokens, [](const worked::v1::Action& a) {
        std::printf("%s ", std::string(a.text).c_str());
    });
    std::puts(error ? worked::v1::DescribeError(*error).c_str() : "ok");
}
