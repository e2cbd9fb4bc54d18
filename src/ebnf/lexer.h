#pragma once

// The tokens of the EBNF notation, for the parser.

#include <string>
#include <string_view>
#include <vector>

#include "ebnf/syntax.h"

namespace ebnf {

struct Token {
    enum class Kind {
        Name,
        String,
        Action,  // text holds the action with its "@"
        Define,  // ::=
        Bar,
        Open,  // ( [ {: text holds the bracket
        Close,
        Postfix,  // ? * +: text holds the operator
        End,
    };

    Kind kind = Kind::End;
    Position pos;
    std::string text;
};

// The whole text as tokens, the last one End. Throws SyntaxError.
std::vector<Token> Tokenize(std::string_view text);

}  // namespace ebnf
