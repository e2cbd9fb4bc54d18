// Parses its arguments as tokens with the parser generated at build time
// and prints its actions, then "ok" or the description of the error.
#include <cstdio>
#include <string>
#include <vector>

#include "arith_parser.h"

int main(int argc, char** argv) {
    if (arith::FindToken("(") != arith::Token::lparen ||
        arith::FindToken("*") != arith::Token::star)
        return 1;  // punctuation has readable names
    std::vector<arith::Token> tokens;
    for (int i = 1; i < argc; ++i)
        tokens.push_back(arith::FindToken(argv[i]));
    const auto error = arith::Parse(
        tokens, [](const arith::Action& a) { std::printf("%s ", std::string(a.text).c_str()); });
    std::puts(error ? arith::DescribeError(*error).c_str() : "ok");
}
