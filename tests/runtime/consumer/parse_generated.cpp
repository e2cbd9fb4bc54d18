// Exits 0 when the parser generated at build time accepts
// "num * ( num + num )", reporting its actions, and refuses "num num" with
// the runtime's message.
#include <cstdio>
#include <string>
#include <vector>

#include "arith_parser.h"

int main() {
    using arith::Token;
    std::string actions;
    const std::vector<Token> valid = {Token::num,  Token::star, Token::lparen, Token::num,
                                      Token::plus, Token::num,  Token::rparen};
    if (arith::Parse(valid,
                     [&](const arith::Action& a) { actions += std::string(a.text) + " "; })) {
        std::puts("refused a valid expression");
        return 1;
    }
    if (actions != "@num @num @num @add @mul ") {
        std::printf("actions: %s\n", actions.c_str());
        return 1;
    }
    const auto error = arith::Parse(std::vector<Token>{Token::num, arith::FindToken("num")});
    const std::string expected =
        "unexpected \"num\" in graph \"MAIN\" at node #2; expected \"*\", \"/\", \"+\", \"-\" or "
        "end of input";
    if (!error || arith::DescribeError(*error) != expected) {
        std::puts("did not refuse \"num num\" as expected");
        return 1;
    }
    return 0;
}
