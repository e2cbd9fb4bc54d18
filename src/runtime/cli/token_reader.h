#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/parse_table.h"

// The tokens of an input text, interned with a table. Only their offsets are
// kept beside them, since line and column matter for one token at most.
class TokenizedInput {
public:
    // words: tokens are separated by whitespace; otherwise each line is one
    // token, without its line break (and a carriage return before it), and
    // empty lines are skipped.
    TokenizedInput(std::string text, bool words, const lumo::ParseTable& table);

    const std::vector<lumo::TokenId>& Tokens() const { return m_tokens; }
    // The token at an index as written, or "" past the last.
    std::string_view Text(std::size_t index) const;
    // "LINE:COLUMN", both from 1, of the token at an index; past the last
    // token, of the end of the text.
    std::string Position(std::size_t index) const;

private:
    std::string m_text;
    bool m_words;
    std::vector<lumo::TokenId> m_tokens;
    std::vector<std::size_t> m_offsets;
};
